#include "engine/DateTime.h"

#include <cassert>
#include <cmath>
#include <cstdint>

namespace engine {
namespace {

constexpr std::int64_t kMSecsPerDay = 86'400'000;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 0001-01-01 of 1899-12-30, the day TDateTime counts from.
constexpr std::int64_t kDateDelta = 693'594;

std::int64_t DaysSinceYearOne(int year, int month, int day) {
    const std::int64_t y = year - 1;
    std::int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < month; ++m)
        days += DaysInMonth(year, m);
    return days + day - 1;
}

// Milliseconds since midnight of the fraction, as a whole count that never reaches a full day.
std::int64_t TimeOfDayMSecs(TDateTime value) {
    const double fraction = std::fabs(value - std::trunc(value));
    const std::int64_t msecs = std::llround(fraction * static_cast<double>(kMSecsPerDay));
    return msecs >= kMSecsPerDay ? kMSecsPerDay - 1 : msecs;
}

}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month)) {
        return false;
    }
    out = static_cast<double>(DaysSinceYearOne(year, month, day) - kDateDelta);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int milliseconds, TDateTime& out) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        milliseconds < 0 || milliseconds > 999) {
        return false;
    }
    const std::int64_t msecs = ((hour * 60LL + minute) * 60 + second) * 1000 + milliseconds;
    out = static_cast<double>(msecs) / static_cast<double>(kMSecsPerDay);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime result = 0;
    [[maybe_unused]] const bool valid = TryEncodeDate(year, month, day, result);
    assert(valid);
    return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int milliseconds) {
    TDateTime result = 0;
    [[maybe_unused]] const bool valid = TryEncodeTime(hour, minute, second, milliseconds, result);
    assert(valid);
    return result;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    std::int64_t days = static_cast<std::int64_t>(std::trunc(value)) + kDateDelta;
    if (days < 0) {
        year = month = day = 0;
        return;
    }
    // 400-year cycles of 146097 days, then centuries, 4-year spans and years.
    std::int64_t y = 1;
    y += days / 146'097 * 400;
    days %= 146'097;
    std::int64_t centuries = days / 36'524;
    if (centuries == 4)
        centuries = 3;
    y += centuries * 100;
    days -= centuries * 36'524;
    y += days / 1461 * 4;
    days %= 1461;
    std::int64_t years = days / 365;
    if (years == 4)
        years = 3;
    y += years;
    days -= years * 365;
    year = static_cast<int>(y);
    month = 1;
    while (days >= DaysInMonth(year, month)) {
        days -= DaysInMonth(year, month);
        ++month;
    }
    day = static_cast<int>(days) + 1;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& milliseconds) {
    std::int64_t msecs = TimeOfDayMSecs(value);
    milliseconds = static_cast<int>(msecs % 1000);
    msecs /= 1000;
    second = static_cast<int>(msecs % 60);
    msecs /= 60;
    minute = static_cast<int>(msecs % 60);
    hour = static_cast<int>(msecs / 60);
}

TDateTime DateOf(TDateTime value) {
    return std::trunc(value);
}

TDateTime TimeOf(TDateTime value) {
    return std::fabs(value - std::trunc(value));
}

TDateTime SystemTimeToDateTime(const platform::SystemTime& parts) {
    TDateTime date = 0;
    TDateTime time = 0;
    if (!TryEncodeDate(parts.year, parts.month, parts.day, date) ||
        !TryEncodeTime(parts.hour, parts.minute, parts.second, parts.milliseconds, time)) {
        return 0;
    }
    // Before 1899-12-30 the day count is negative and the time of day still counts forward.
    return date >= 0 ? date + time : date - time;
}

}  // namespace engine
