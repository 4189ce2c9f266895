#include "platform/FileTime.h"

namespace platform {
namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
// Days from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kUnixEpochDays = kUnixEpochSeconds / kSecondsPerDay;
// The largest file time Windows accepts: the sign bit must stay clear.
constexpr FileTime kMaxFileTime = 0x7FFF'FFFF'FFFF'FFFFull;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The offset that turns a local clock reading (seconds since 1970 counted as if it were UTC)
// into UTC. A reading is valid under an offset when the instant it gives has that very offset;
// the offsets a little before and after the reading are the only candidates. Both valid is the
// repeated hour and neither is the skipped hour; either way the offset before the change wins.
// mktime would leave both choices to the C library.
bool OffsetOfLocalReading(std::int64_t reading, long& offset) {
    // Wider than any offset from UTC plus any jump of the clock the time zone data knows.
    constexpr std::int64_t kMargin = 2 * kSecondsPerDay;
    const TLocalZone zone;
    long before = 0, after = 0, atBefore = 0, atAfter = 0;
    if (!zone.UtcOffsetAt(reading - kMargin, before) ||
        !zone.UtcOffsetAt(reading + kMargin, after) ||
        !zone.UtcOffsetAt(reading - before, atBefore) ||
        !zone.UtcOffsetAt(reading - after, atAfter)) {
        return false;
    }
    offset = atAfter == after && atBefore != before ? after : before;
    return true;
}

bool AddSeconds(FileTime base, long seconds, FileTime& out) {
    const std::int64_t delta = static_cast<std::int64_t>(seconds) * kTicksPerSecond;
    if (delta < 0 && base < static_cast<FileTime>(-delta)) {
        return false;
    }
    out = base + static_cast<FileTime>(delta);
    return out <= kMaxFileTime;
}

}  // namespace

bool UnixToFileTime(const timespec& unixTime, FileTime& out) {
    const std::int64_t seconds = static_cast<std::int64_t>(unixTime.tv_sec) + kUnixEpochSeconds;
    if (seconds < 0 || unixTime.tv_nsec < 0) {
        return false;
    }
    out = static_cast<FileTime>(seconds) * kTicksPerSecond +
          static_cast<FileTime>(unixTime.tv_nsec / 100);
    return out <= kMaxFileTime;
}

timespec FileTimeToUnix(FileTime fileTime) {
    timespec result{};
    result.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(fileTime / kTicksPerSecond) -
                                        kUnixEpochSeconds);
    result.tv_nsec = static_cast<long>(fileTime % kTicksPerSecond) * 100;
    return result;
}

bool FileTimeToLocalFileTime(FileTime utc, FileTime& local) {
    long offset = 0;
    return UtcOffsetAt(FileTimeToUnix(utc).tv_sec, offset) && AddSeconds(utc, offset, local);
}

bool LocalFileTimeToFileTime(FileTime local, FileTime& utc) {
    long offset = 0;
    return OffsetOfLocalReading(FileTimeToUnix(local).tv_sec, offset) &&
           AddSeconds(local, -offset, utc);
}

bool FileTimeToSystemTime(FileTime fileTime, SystemTime& out) {
    if (fileTime > kMaxFileTime) {
        return false;
    }
    const std::int64_t totalSeconds = static_cast<std::int64_t>(fileTime / kTicksPerSecond);
    const std::int64_t days = totalSeconds / kSecondsPerDay;
    const std::int64_t secondOfDay = totalSeconds % kSecondsPerDay;
    CivilFromDays(days - kUnixEpochDays, out.year, out.month, out.day);
    out.hour = static_cast<int>(secondOfDay / 3600);
    out.minute = static_cast<int>(secondOfDay / 60 % 60);
    out.second = static_cast<int>(secondOfDay % 60);
    out.milliseconds = static_cast<int>(fileTime % kTicksPerSecond / 10'000);
    return true;
}

bool SystemTimeToFileTime(const SystemTime& t, FileTime& out) {
    if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
        t.minute > 59 || t.second < 0 || t.second > 59 || t.milliseconds < 0 ||
        t.milliseconds > 999) {
        return false;
    }
    const std::int64_t days =
        DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) +
        kUnixEpochDays;
    const std::int64_t seconds = days * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
    out = static_cast<FileTime>(seconds) * kTicksPerSecond +
          static_cast<FileTime>(t.milliseconds) * 10'000;
    return true;
}

bool FileTimeToLocalSystemTime(FileTime utc, SystemTime& out) {
    FileTime local = 0;
    return FileTimeToLocalFileTime(utc, local) && FileTimeToSystemTime(local, out);
}

bool SystemTimeToDosDateTime(const SystemTime& t, std::uint16_t& dosDate, std::uint16_t& dosTime) {
    // Seven bits of year past the first DOS year.
    if (t.year < kFirstDosYear || t.year > kFirstDosYear + 127)
        return false;
    dosDate = static_cast<std::uint16_t>(((t.year - kFirstDosYear) << 9) | (t.month << 5) | t.day);
    dosTime = static_cast<std::uint16_t>((t.hour << 11) | (t.minute << 5) | (t.second / 2));
    return true;
}

bool FileTimeToDosDateTime(FileTime fileTime, std::uint16_t& dosDate, std::uint16_t& dosTime) {
    SystemTime t;
    return FileTimeToSystemTime(fileTime, t) && SystemTimeToDosDateTime(t, dosDate, dosTime);
}

bool DosDateTimeToFileTime(std::uint16_t dosDate, std::uint16_t dosTime, FileTime& out) {
    SystemTime t;
    t.year = kFirstDosYear + (dosDate >> 9);
    t.month = (dosDate >> 5) & 0x0F;
    t.day = dosDate & 0x1F;
    t.hour = dosTime >> 11;
    t.minute = (dosTime >> 5) & 0x3F;
    t.second = (dosTime & 0x1F) * 2;
    return SystemTimeToFileTime(t, out);
}

}  // namespace platform
