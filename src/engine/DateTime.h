#pragma once
// TDateTime: whole days since 1899-12-30, the fraction being the time of day. Every date and
// time inside the program is of this type.

#include "platform/FileTime.h"

namespace engine {

using TDateTime = double;

// False when the parts do not form a date between years 1 and 9999 (or a time of day).
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int minute, int second, int milliseconds, TDateTime& out);

// Asserting forms for values known to be valid.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int milliseconds = 0);

void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& milliseconds);

// The date part alone (time of day 00:00:00) and the time part alone.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

TDateTime SystemTimeToDateTime(const platform::SystemTime& parts);

}  // namespace engine
