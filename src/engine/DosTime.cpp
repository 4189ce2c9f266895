#include "engine/DosTime.h"

namespace engine {
namespace {

using platform::FileTime;

// One DOS value turned into a UTC file time; nothing when the DOS value is not a valid date.
std::optional<FileTime> DosToUtc(std::uint32_t dos) {
    FileTime local = 0;
    FileTime utc = 0;
    if (!platform::DosDateTimeToFileTime(static_cast<std::uint16_t>(dos >> 16),
                                         static_cast<std::uint16_t>(dos & 0xFFFF), local) ||
        !platform::LocalFileTimeToFileTime(local, utc)) {
        return std::nullopt;
    }
    return utc;
}

}  // namespace

bool IsDosYear(TDateTime date) {
    int year, month, day;
    DecodeDate(date, year, month, day);
    return year >= platform::kFirstDosYear && year <= platform::kLastDosYear;
}

std::uint32_t DateTimeToDos(TDateTime date, TDateTime time) {
    if (!IsDosYear(date))
        return 0;
    platform::SystemTime parts;
    DecodeDate(date, parts.year, parts.month, parts.day);
    DecodeTime(time, parts.hour, parts.minute, parts.second, parts.milliseconds);
    std::uint16_t dosDate = 0, dosTime = 0;
    if (!platform::SystemTimeToDosDateTime(parts, dosDate, dosTime))
        return 0;
    return static_cast<std::uint32_t>(dosDate) << 16 | dosTime;
}

std::uint32_t DateToDos(TDateTime date) {
    return DateTimeToDos(date, 0) & 0xFFFF0000u;
}

std::optional<FileTime> DosFileTime(TDateTime date, TDateTime time) {
    return DosToUtc(DateTimeToDos(date, time));
}

platform::FileTimesToSet AllFileTimes(TDateTime date, TDateTime time) {
    const std::optional<FileTime> utc = DosFileTime(date, time);
    return {utc, utc, utc};
}

platform::FileTimesToSet FileTimesOf(TDateTime createdDate, TDateTime createdTime,
                                     TDateTime modifiedDate, TDateTime modifiedTime,
                                     TDateTime openedDate) {
    platform::FileTimesToSet times;
    times.creation = DosFileTime(createdDate, createdTime);
    times.lastWrite = DosFileTime(modifiedDate, modifiedTime);
    times.lastAccess = DosToUtc(DateToDos(openedDate));
    return times;
}

}  // namespace engine
