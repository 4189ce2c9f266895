#pragma once
// The display formats of the date and time pickers: the user's regional formats written the
// way QDateTimeEdit takes them. The short date and the time are those the file list shows
// (the C library's locale data); the long date, which that data lacks, is the locale's own.

#include <QString>
#include <string>

#include "platform/LocaleFormats.h"

namespace ui {

// The short date pattern of the regional formats ("dd.mm.yyyy") as a picker format
// ("dd.MM.yyyy"); letters that are not fields are kept as text.
QString PickerDateFormat(const std::string& shortDatePattern);

// The time of the regional formats with hours, minutes and seconds: 12- or 24-hour clock,
// hour with or without a leading zero, AM/PM before or after the time.
QString PickerTimeFormat(const platform::LocaleFormats& formats);

// The format without its day of the week ("dddd, MMMM d, yyyy" gives "MMMM d, yyyy"): a picker
// that shows the weekday refuses a year typed over, since each digit makes a date on another
// weekday.
QString WithoutWeekday(const QString& format);

// The format of the date pickers in force: the short one, or the locale's long one, each
// without the day of the week.
QString DatePickerFormatInForce(bool shortFormat);
QString TimePickerFormatInForce();

}  // namespace ui
