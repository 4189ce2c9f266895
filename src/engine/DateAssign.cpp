#include "engine/DateAssign.h"

#include "engine/DateInName.h"
#include "engine/DosTime.h"
#include "engine/TymoUtils.h"
#include "media/PhotoDate.h"
#include "media/SongTag.h"

namespace engine {
namespace {

bool CheckYear(TDateTime date, const ShowMessageFn& showMessage) {
    if (IsDosYear(date))
        return true;
    showMessage(kYearRangeMessage, kErrorCaption);
    return false;
}

std::optional<platform::FileTimesToSet> SeparateTimes(
    const RunOptions& o, const platform::FileTimesToSet& given,
    const std::optional<platform::FindData>& current) {
    if (!o.created && !o.modified && !o.opened)
        return std::nullopt;
    // The times not ticked are written back as the file shows them, through the same DOS form;
    // only those are worked out for each file.
    platform::FileTimesToSet times = given;
    if (!o.created) {
        const TDateTime created = CreatedTimeOf(current);
        times.creation = DosFileTime(created, created);
    }
    if (!o.modified) {
        const TDateTime modified = ModifiedTimeOf(current);
        times.lastWrite = DosFileTime(modified, modified);
    }
    if (!o.opened && o.created && o.modified) {
        // With Created and Modified ticked the last-access date comes from the last-write time.
        times.lastAccess = DosFileTime(DateOf(ModifiedTimeOf(current)), 0);
    } else if (!o.opened) {
        // A kept last access keeps its time of day, as the other two kept times do.
        const TDateTime opened = OpenedTimeOf(current);
        times.lastAccess = DosFileTime(opened, opened);
    }
    return times;
}

// Each ticked time moved by the span, at the precision the file has it; a creation time the
// file does not keep stays unknown.
std::optional<platform::FileTimesToSet> ShiftedTimes(const RunOptions& o,
                                                     const platform::FindData& current) {
    const auto shifted = [&o](platform::FileTime time) {
        return static_cast<platform::FileTime>(static_cast<std::int64_t>(time) + o.shift);
    };
    platform::FileTimesToSet times;
    if (o.created && current.creationTime)
        times.creation = shifted(*current.creationTime);
    if (o.modified)
        times.lastWrite = shifted(current.lastWriteTime);
    if (o.opened)
        times.lastAccess = shifted(current.lastAccessTime);
    if (!times.creation && !times.lastWrite && !times.lastAccess)
        return std::nullopt;
    return times;
}

std::optional<platform::FileTimesToSet> CopiedTimes(const RunOptions& o,
                                                    const platform::FindData& current) {
    switch (o.copyFrom) {
        case TimeField::Created:
            if (!current.creationTime)
                return std::nullopt;
            return TickedTimes(o, *current.creationTime);
        case TimeField::Modified:
            return TickedTimes(o, current.lastWriteTime);
        case TimeField::Opened:
            return TickedTimes(o, current.lastAccessTime);
    }
    return std::nullopt;
}

// Calendar parts in UTC when the file states its offset, else in local time.
std::optional<platform::FileTime> ToUtc(const platform::SystemTime& parts,
                                        std::optional<int> utcOffsetMinutes) {
    platform::FileTime time = 0;
    if (!platform::SystemTimeToFileTime(parts, time))
        return std::nullopt;
    if (utcOffsetMinutes) {
        const std::int64_t offset =
            std::int64_t{*utcOffsetMinutes} * 60 * std::int64_t{platform::kTicksPerSecond};
        return static_cast<platform::FileTime>(static_cast<std::int64_t>(time) - offset);
    }
    platform::FileTime utc = 0;
    if (!platform::LocalFileTimeToFileTime(time, utc))
        return std::nullopt;
    return utc;
}

// `noDate`: the reason for a date that names no real moment (the 31st of February).
FileDate FromMedia(const media::DateFound& found, const char* noDate) {
    if (!found.date)
        return {std::nullopt, found.reason};
    const std::optional<platform::FileTime> utc =
        ToUtc(found.date->parts, found.date->utcOffsetMinutes);
    return {utc, utc ? std::string() : noDate};
}

// A photo's EXIF lies near the start of most formats: the first bytes are read, and the whole
// file only when they do not hold the date (a TIFF or raw file may keep it anywhere).
FileDate PhotoDate(const platform::TFileHandle& file) {
    std::vector<std::uint8_t> bytes;
    if (const platform::Result read = file.ReadPrefix(media::kPhotoPrefix, bytes); !read)
        return {std::nullopt, read.Reason()};
    if (!media::IsPhoto(bytes))
        return {std::nullopt, media::kNoPhotoDate};
    media::DateFound found = media::ReadPhotoDate(bytes);
    if (!found.date && bytes.size() == media::kPhotoPrefix) {
        if (const platform::Result read = file.ReadAll(bytes); !read)
            return {std::nullopt, read.Reason()};
        found = media::ReadPhotoDate(bytes);
    }
    return FromMedia(found, media::kNoPhotoDate);
}

// The ID3v2 tag's header tells how many bytes from the start to read.
FileDate SongDate(const platform::TFileHandle& file) {
    std::vector<std::uint8_t> bytes;
    if (const platform::Result read = file.ReadPrefix(media::kSongTagHeader, bytes); !read)
        return {std::nullopt, read.Reason()};
    const std::optional<std::size_t> size = media::SongTagSize(bytes);
    if (!size)
        return {std::nullopt, media::kNoSongTag};
    if (const platform::Result read = file.ReadPrefix(*size, bytes); !read)
        return {std::nullopt, read.Reason()};
    return FromMedia(media::ReadSongTag(bytes).recorded, media::kNoSongDate);
}

FileDate NameDate(const std::string& name) {
    const std::optional<platform::SystemTime> parts = DateInName(name);
    const std::optional<platform::FileTime> utc =
        parts ? ToUtc(*parts, std::nullopt) : std::nullopt;
    return {utc, utc ? std::string() : kNoDateInFile};
}

}  // namespace

const char* NoTimesReason(const RunOptions& options) {
    switch (options.dateChange) {
        case DateChange::FromFile:
            return kNoDateInFile;
        case DateChange::Shift:
        case DateChange::Copy:
            return kNoCreationTime;
        case DateChange::DoNotChange:
        case DateChange::SetSelected:
        case DateChange::SetSeparate:
            break;
    }
    return kNoTimeTicked;
}

bool ValidateDates(const RunOptions& options, const ShowMessageFn& showMessage) {
    switch (options.dateChange) {
        case DateChange::DoNotChange:
            return true;
        case DateChange::SetSelected:
            return CheckYear(options.date, showMessage);
        case DateChange::SetSeparate:
            // Only the first ticked box's date is examined; the later ones are not.
            if (options.created)
                return CheckYear(options.createdDate, showMessage);
            if (options.modified)
                return CheckYear(options.modifiedDate, showMessage);
            if (options.opened)
                return CheckYear(options.openedDate, showMessage);
            return false;
        case DateChange::Shift:
        case DateChange::Copy:
            // Their values come from each file: no date of the options to examine.
            return options.created || options.modified || options.opened;
        case DateChange::FromFile:
            // Nowhere to look for a date is, like no time ticked, nothing asked.
            return (options.created || options.modified || options.opened) &&
                   (options.fromExif || options.fromId3 || options.fromName);
    }
    return false;
}

platform::FileTimesToSet GivenTimes(const RunOptions& o) {
    switch (o.dateChange) {
        case DateChange::DoNotChange:
            return {};
        case DateChange::SetSelected:
            return AllFileTimes(o.date, o.time);
        case DateChange::SetSeparate: {
            platform::FileTimesToSet times = FileTimesOf(
                o.createdDate, o.createdTime, o.modifiedDate, o.modifiedTime, o.openedDate);
            if (!o.created)
                times.creation.reset();
            if (!o.modified)
                times.lastWrite.reset();
            if (!o.opened)
                times.lastAccess.reset();
            return times;
        }
        case DateChange::Shift:
        case DateChange::Copy:
        case DateChange::FromFile:
            break;
    }
    return {};
}

std::optional<platform::FileTimesToSet> TimesToAssign(
    const RunOptions& options, const platform::FileTimesToSet& given,
    const std::optional<platform::FindData>& current) {
    switch (options.dateChange) {
        case DateChange::DoNotChange:
            return std::nullopt;
        case DateChange::SetSelected:
            return given;
        case DateChange::SetSeparate:
            return SeparateTimes(options, given, current);
        case DateChange::Shift:
            return current ? ShiftedTimes(options, *current) : std::nullopt;
        case DateChange::Copy:
            return current ? CopiedTimes(options, *current) : std::nullopt;
        case DateChange::FromFile:
            break;  // DateFromFile reads the file
    }
    return std::nullopt;
}

FileDate DateFromFile(const RunOptions& options, const platform::TFileHandle& file,
                      const std::string& name) {
    FileDate none;
    const auto tried = [&none](FileDate found) {
        if (!found.utc)
            none.reason += (none.reason.empty() ? "" : "; ") + found.reason;
        return found.utc.has_value() ? std::optional(found) : std::nullopt;
    };
    if (options.fromExif)
        if (const std::optional<FileDate> found = tried(PhotoDate(file)))
            return *found;
    if (options.fromId3)
        if (const std::optional<FileDate> found = tried(SongDate(file)))
            return *found;
    if (options.fromName)
        if (const std::optional<FileDate> found = tried(NameDate(name)))
            return *found;
    if (none.reason.empty())
        none.reason = kNoDateInFile;
    return none;
}

platform::FileTimesToSet TickedTimes(const RunOptions& o, platform::FileTime time) {
    platform::FileTimesToSet times;
    if (o.created)
        times.creation = time;
    if (o.modified)
        times.lastWrite = time;
    if (o.opened)
        times.lastAccess = time;
    return times;
}

}  // namespace engine
