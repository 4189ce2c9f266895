// Regional formats from the C library's locale data (nl_langinfo) of the locale in force.

#include "platform/LocaleFormats.h"

#include <langinfo.h>

#include <algorithm>
#include <mutex>

namespace platform {
namespace {

// Turns a strftime date format into the program's short date pattern.
std::string DatePatternFrom(const std::string& format) {
    std::string pattern;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            pattern += format[i];
            continue;
        }
        char c = format[++i];
        // Flags and widths of glibc ("%-d", "%0e", "%Ey") do not change which field it is.
        while ((c == '-' || c == '_' || c == '0' || c == '^' || c == '#' || c == 'E' || c == 'O') &&
               i + 1 < format.size()) {
            c = format[++i];
        }
        switch (c) {
            case 'd':
                pattern += "dd";
                break;
            case 'e':
                pattern += "d";
                break;
            case 'm':
                pattern += "mm";
                break;
            case 'y':
                pattern += "yy";
                break;
            case 'Y':
                pattern += "yyyy";
                break;
            case 'D':
                pattern += "mm/dd/yy";
                break;
            case 'F':
                pattern += "yyyy-mm-dd";
                break;
            case '%':
                pattern += '%';
                break;
            default:
                break;  // names of days and months have no place in a short date
        }
    }
    return pattern;
}

// Expands the composite conversions so that the hour and the AM/PM marker can be seen.
std::string ExpandTimeFormat(std::string format) {
    const std::string ampm = nl_langinfo(T_FMT_AMPM);
    const std::pair<std::string, std::string> composites[] = {
        {"%r", ampm.empty() ? "%I:%M:%S %p" : ampm}, {"%T", "%H:%M:%S"}, {"%R", "%H:%M"}};
    for (const auto& [from, to] : composites) {
        for (std::size_t at = format.find(from); at != std::string::npos; at = format.find(from)) {
            format.replace(at, from.size(), to);
        }
    }
    return format;
}

LocaleFormats ReadLocaleFormats() {
    LocaleFormats formats;
    const std::string datePattern = DatePatternFrom(nl_langinfo(D_FMT));
    if (!datePattern.empty())
        formats.shortDate = datePattern;

    const std::string time = ExpandTimeFormat(nl_langinfo(T_FMT));
    const bool uses12 =
        time.find("%I") != std::string::npos || time.find("%l") != std::string::npos;
    formats.twelveHourClock = uses12;
    formats.hourLeadingZero =
        time.find("%H") != std::string::npos || time.find("%I") != std::string::npos;
    if (uses12) {
        formats.amText = nl_langinfo(AM_STR);
        formats.pmText = nl_langinfo(PM_STR);
        const std::size_t marker =
            time.find("%p") != std::string::npos ? time.find("%p") : time.find("%P");
        const std::size_t hour = std::min(time.find("%I"), time.find("%l"));
        formats.amPmBeforeTime = marker != std::string::npos && marker < hour;
    }
    formats.thousandSeparator = nl_langinfo(THOUSEP);
    return formats;
}

std::mutex formatsMutex;
LocaleFormats formatsInForce;
bool formatsRead = false;

}  // namespace

const LocaleFormats& CurrentLocaleFormats() {
    std::lock_guard lock(formatsMutex);
    if (!formatsRead) {
        formatsInForce = ReadLocaleFormats();
        formatsRead = true;
    }
    return formatsInForce;
}

void ReloadLocaleFormats() {
    std::lock_guard lock(formatsMutex);
    formatsInForce = ReadLocaleFormats();
    formatsRead = true;
}

}  // namespace platform
