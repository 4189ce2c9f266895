#include "engine/DateAssign.h"

#include "engine/DateInName.h"
#include "engine/DosTime.h"
#include "engine/TymoUtils.h"

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

// `time` written to each ticked time; the others are left as they are.
platform::FileTimesToSet Ticked(const RunOptions& o, platform::FileTime time) {
    platform::FileTimesToSet times;
    if (o.created)
        times.creation = time;
    if (o.modified)
        times.lastWrite = time;
    if (o.opened)
        times.lastAccess = time;
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
            return Ticked(o, *current.creationTime);
        case TimeField::Modified:
            return Ticked(o, current.lastWriteTime);
        case TimeField::Opened:
            return Ticked(o, current.lastAccessTime);
    }
    return std::nullopt;
}

std::optional<platform::FileTimesToSet> TimesFromName(const RunOptions& o,
                                                      const std::string& name) {
    if (!o.fromName)
        return std::nullopt;
    const std::optional<platform::SystemTime> parts = DateInName(name);
    platform::FileTime local = 0;
    platform::FileTime utc = 0;
    if (!parts || !platform::SystemTimeToFileTime(*parts, local) ||
        !platform::LocalFileTimeToFileTime(local, utc)) {
        return std::nullopt;
    }
    return Ticked(o, utc);
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
        case DateChange::FromFile:
            // Their values come from each file: no date of the options to examine.
            return options.created || options.modified || options.opened;
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
            return current ? TimesFromName(options, current->name) : std::nullopt;
    }
    return std::nullopt;
}

}  // namespace engine
