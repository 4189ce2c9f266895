#pragma once
// What the Parameters page keeps from one session to the next: the span of a shift, the time a
// copy takes, where dates are taken from in a file, and whether renaming reads the ID3v2 tag.
// Which way of setting times is chosen is not kept: a new session changes no time until the
// user asks for it again.

#include <cstdint>

#include "engine/RunOptions.h"

namespace core {

class TSettingsFile;

struct TStoredParameters {
    // The shift: a sign and a span of days, hours, minutes and seconds.
    bool shiftEarlier = false;
    int shiftDays = 0;
    int shiftHours = 0;
    int shiftMinutes = 0;
    int shiftSeconds = 0;
    engine::TimeField copyFrom = engine::TimeField::Modified;
    // Every source at first: a user who takes dates from files wants whichever a file has.
    bool fromExif = true;
    bool fromId3 = true;
    bool fromName = true;
    bool id3v2 = false;

    bool operator==(const TStoredParameters&) const = default;
};

// The largest span of a shift in days, about a hundred years: enough to mend a camera's year.
inline constexpr int kMaxShiftDays = 36'600;

// Section "Parameters" of the settings file; a missing, malformed or out-of-range value gives
// its default, so a file written before these keys existed reads as the defaults.
TStoredParameters ReadStoredParameters(const TSettingsFile& ini);
void WriteStoredParameters(TSettingsFile& ini, const TStoredParameters& stored);

// The shift as the engine takes it: ticks of 100 ns, negative when earlier.
std::int64_t ShiftTicks(const TStoredParameters& stored);

// The kept values put into the options: the span, the copied time, the sources, the ID3v2 tag.
void ApplyStoredParameters(const TStoredParameters& stored, engine::RunOptions& options);

}  // namespace core
