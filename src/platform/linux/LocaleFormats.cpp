// Regional formats from the C library's locale data (nl_langinfo) of the locale in force.

#include "platform/LocaleFormats.h"

#include <langinfo.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <limits>
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
// Never shrinks and never moves its elements: every reference handed out stays valid.
std::deque<LocaleFormats> generations;
// Counts the changes of `generations`; written with formatsMutex held.
std::atomic<std::uint64_t> generationChanges = 0;

// A list asks for the formats of every text it shows, and a listing of many rows asks
// millions of times in a row for the same set: each thread keeps what it was told last, for
// as long as no set has been added or replaced since.
struct LastAnswer {
    std::uint64_t changes = 0;
    LocaleGeneration generation = 0;
    const LocaleFormats* formats = nullptr;  // null until the thread has asked
};

bool StillValid(const LastAnswer& answer) {
    return answer.formats && answer.changes == generationChanges.load(std::memory_order_acquire);
}

// With formatsMutex held.
void ReadFormatsOnce() {
    if (generations.empty()) {
        generations.push_back(ReadLocaleFormats());
        ++generationChanges;
    }
}

}  // namespace

const LocaleFormats& CurrentLocaleFormats() {
    std::lock_guard lock(formatsMutex);
    ReadFormatsOnce();
    return generations.back();
}

void ReloadLocaleFormats() {
    std::lock_guard lock(formatsMutex);
    LocaleFormats formats = ReadLocaleFormats();
    constexpr std::size_t kGenerations = std::numeric_limits<LocaleGeneration>::max() + 1;
    if (!generations.empty() && generations.back() == formats)
        return;
    if (generations.size() < kGenerations)
        generations.push_back(std::move(formats));
    else
        generations.back() = std::move(formats);
    ++generationChanges;
}

LocaleGeneration CurrentLocaleGeneration() {
    thread_local LastAnswer last;
    if (StillValid(last))
        return last.generation;
    std::lock_guard lock(formatsMutex);
    ReadFormatsOnce();
    const auto generation = static_cast<LocaleGeneration>(generations.size() - 1);
    last = {generationChanges.load(), generation, &generations.back()};
    return generation;
}

const LocaleFormats& LocaleFormatsOf(LocaleGeneration generation) {
    thread_local LastAnswer last;
    if (StillValid(last) && last.generation == generation)
        return *last.formats;
    std::lock_guard lock(formatsMutex);
    ReadFormatsOnce();
    last = {generationChanges.load(), generation,
            &generations[std::min<std::size_t>(generation, generations.size() - 1)]};
    return *last.formats;
}

}  // namespace platform
