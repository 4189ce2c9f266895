#include "engine/DateAssign.h"

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

}  // namespace

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
    }
    return std::nullopt;
}

}  // namespace engine
