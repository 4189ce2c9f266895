#pragma once
// The user's regional formats for dates, times and numbers.

#include <cstdint>
#include <string>

namespace platform {

struct LocaleFormats {
    // Short date pattern: "d"/"dd" day, "m"/"mm" month, "yy"/"yyyy" year, other text literal.
    std::string shortDate = "m/d/yy";
    bool twelveHourClock = false;
    bool hourLeadingZero = false;
    std::string amText;
    std::string pmText;
    bool amPmBeforeTime = false;
    std::string thousandSeparator;

    bool operator==(const LocaleFormats&) const = default;
};

// The formats of the locale in force, read once and kept until ReloadLocaleFormats.
const LocaleFormats& CurrentLocaleFormats();

// Reads the formats again, after the locale changed (setlocale).
void ReloadLocaleFormats();

// Every set of formats read so far is kept under a number, so that a text made with one set
// can be made again exactly so after the locale changed. After 255 changes the last number is
// reused for every newer set.
using LocaleGeneration = std::uint8_t;
LocaleGeneration CurrentLocaleGeneration();
const LocaleFormats& LocaleFormatsOf(LocaleGeneration generation);

}  // namespace platform
