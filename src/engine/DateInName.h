#pragma once
// The date and time a file's name carries, as cameras, phones and messengers write them:
// "20230101_120000", "2023-01-01 12.00.00", "2023-01-01_12-00-00", "20230101-120000",
// "IMG_20230101_120000123" (milliseconds after the seconds), or a date alone
// ("IMG-20230101-WA0001", taken as 00:00:00 that day).

#include <optional>
#include <string_view>

#include "platform/FileTime.h"

namespace engine {

// The first date in `name` (with its time when one follows it), as local calendar parts in
// whole seconds; nothing when the name holds none. A date is eight digits YYYYMMDD, or
// YYYY-MM-DD, standing apart from other digits, with a year from 1900 to 2099 and a day its
// month has; a time follows it after one of "_", "-", " ", "T" or ".", as HHMMSS or HH.MM.SS,
// HH-MM-SS or HH:MM:SS, and further digits after the seconds (milliseconds) are passed over.
std::optional<platform::SystemTime> DateInName(std::string_view name);

}  // namespace engine
