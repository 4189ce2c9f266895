#pragma once
// File times as the platform interface sees them: 100-ns intervals since 1601-01-01, the unit
// every file time of the program is counted in, whatever the operating system stores.

#include <cstdint>
#include <ctime>

namespace platform {

using FileTime = std::uint64_t;

constexpr FileTime kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kUnixEpochSeconds = 11'644'473'600;

// A time split into calendar parts; month and day count from 1.
struct SystemTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

// Conversions between the Unix clock and file times; false when the value lies outside the
// range a file time can hold (before 1601).
bool UnixToFileTime(const timespec& unixTime, FileTime& out);
timespec FileTimeToUnix(FileTime fileTime);
// Nanoseconds since 1970 (negative before), as a run's journal keeps a time.
constexpr std::int64_t FileTimeToNanoseconds(FileTime fileTime) {
    return (static_cast<std::int64_t>(fileTime) -
            kUnixEpochSeconds * static_cast<std::int64_t>(kTicksPerSecond)) *
           100;
}

// UTC to local and back by the offset from UTC in force at the date being converted, as `ls`
// and every file manager show a file's times: a July time moves by the summer offset and a
// December time by the winter one, whatever today is. A local time that the clock shows twice
// (the hour repeated when summer time ends) is taken at its first showing; one it never shows
// (the hour skipped when summer time begins) is taken by the offset in force before the jump,
// so 02:30 on that night becomes 03:30 summer time.
bool FileTimeToLocalFileTime(FileTime utc, FileTime& local);
bool LocalFileTimeToFileTime(FileTime local, FileTime& utc);

bool FileTimeToSystemTime(FileTime fileTime, SystemTime& out);
bool SystemTimeToFileTime(const SystemTime& parts, FileTime& out);

// A UTC time split into the calendar parts of local time.
bool FileTimeToLocalSystemTime(FileTime utc, SystemTime& out);

// The years a time is written in. The DOS form counts from 1980 and could go on to 2107; the
// program offers no year past 2099, as the date pickers of its window do.
constexpr int kFirstDosYear = 1980;
constexpr int kLastDosYear = 2099;

// The 16-bit DOS date and time; false for years outside 1980-2107 or invalid fields. Seconds
// are halved, rounded down.
bool SystemTimeToDosDateTime(const SystemTime& parts, std::uint16_t& dosDate,
                             std::uint16_t& dosTime);
bool FileTimeToDosDateTime(FileTime fileTime, std::uint16_t& dosDate, std::uint16_t& dosTime);
bool DosDateTimeToFileTime(std::uint16_t dosDate, std::uint16_t dosTime, FileTime& out);

// The time zone of the program (TZ, else the system's) as it stands when made. Offsets asked
// of one zone together (the candidates of one local reading) read TZ once, not once each. It
// belongs to the thread that made it, for one conversion: each thread keeps its own answers.
class TLocalZone {
public:
    TLocalZone();
    // The offset of local time from UTC, in seconds (east positive), in force at the given
    // instant; false when the system cannot tell.
    bool UtcOffsetAt(std::int64_t unixSeconds, long& offsetSeconds) const;
};

// The same for one instant alone.
bool UtcOffsetAt(std::int64_t unixSeconds, long& offsetSeconds);

}  // namespace platform
