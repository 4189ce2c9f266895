#include "engine/DateInName.h"

#include <cctype>

namespace engine {
namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The number of `count` digits at `at`, or nothing when any of them is no digit.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!IsDigit(text[i]))
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// A date at `at`, in one of its two forms; `end` is where it ends.
std::optional<platform::SystemTime> DateAt(std::string_view name, std::size_t at,
                                           std::size_t& end) {
    const bool dashed = at + 4 < name.size() && name[at + 4] == '-';
    const std::size_t step = dashed ? 1 : 0;
    const std::optional<int> year = Digits(name, at, 4);
    const std::optional<int> month = Digits(name, at + 4 + step, 2);
    const std::optional<int> day = Digits(name, at + 6 + 2 * step, 2);
    if (dashed && (at + 7 >= name.size() || name[at + 7] != '-'))
        return std::nullopt;
    if (!year || !month || !day || *year < 1900 || *year > 2099 || *month < 1 || *month > 12 ||
        *day < 1 || *day > DaysInMonth(*year, *month)) {
        return std::nullopt;
    }
    end = at + 8 + 2 * step;
    if (end < name.size() && IsDigit(name[end]))
        return std::nullopt;  // part of a longer number
    platform::SystemTime parts;
    parts.year = *year;
    parts.month = *month;
    parts.day = *day;
    return parts;
}

// The time after a date ending at `at`, into `parts`; false when none follows.
bool TimeAt(std::string_view name, std::size_t at, platform::SystemTime& parts) {
    if (at >= name.size() || std::string_view("_- T.").find(name[at]) == std::string_view::npos)
        return false;
    ++at;
    // HHMMSS, or the three parts joined by one and the same separator.
    const bool joined = at + 2 < name.size() && !IsDigit(name[at + 2]);
    const std::size_t step = joined ? 1 : 0;
    if (joined) {
        const char separator = name[at + 2];
        if (std::string_view(".-:").find(separator) == std::string_view::npos ||
            at + 5 >= name.size() || name[at + 5] != separator) {
            return false;
        }
    }
    const std::optional<int> hour = Digits(name, at, 2);
    const std::optional<int> minute = Digits(name, at + 2 + step, 2);
    const std::optional<int> second = Digits(name, at + 4 + 2 * step, 2);
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59)
        return false;
    parts.hour = *hour;
    parts.minute = *minute;
    parts.second = *second;
    return true;
}

}  // namespace

std::optional<platform::SystemTime> DateInName(std::string_view name) {
    for (std::size_t at = 0; at + 8 <= name.size(); ++at) {
        if (!IsDigit(name[at]) || (at > 0 && IsDigit(name[at - 1])))
            continue;
        std::size_t end = 0;
        std::optional<platform::SystemTime> parts = DateAt(name, at, end);
        if (!parts)
            continue;
        TimeAt(name, end, *parts);
        return parts;
    }
    return std::nullopt;
}

}  // namespace engine
