#pragma once
// The user's regional formats for dates, times and numbers.

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
};

// The formats of the locale in force, read once and kept until ReloadLocaleFormats.
const LocaleFormats& CurrentLocaleFormats();

// Reads the formats again, after the locale changed (setlocale).
void ReloadLocaleFormats();

}  // namespace platform
