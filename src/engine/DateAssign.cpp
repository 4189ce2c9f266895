#include "engine/DateAssign.h"

#include "engine/TymoUtils.h"

namespace engine {
namespace {

bool YearInRange(TDateTime date) {
    int year, month, day;
    DecodeDate(date, year, month, day);
    return year >= 1980 && year <= 2099;
}

bool CheckYear(TDateTime date, const ShowMessageFn& showMessage) {
    if (YearInRange(date))
        return true;
    showMessage(kYearRangeMessage, kErrorCaption);
    return false;
}

std::optional<platform::FileTimesToSet> SeparateTimes(
    const RunOptions& o, const std::optional<platform::FindData>& current) {
    if (!o.created && !o.modified && !o.opened)
        return std::nullopt;
    const TDateTime created = o.created ? 0 : CreatedTimeOf(current);
    const TDateTime modified = o.modified ? 0 : ModifiedTimeOf(current);
    TDateTime opened = o.openedDate;
    if (!o.opened) {
        // With Created and Modified ticked the last-access date comes from the last-write time.
        opened = o.created && o.modified ? DateOf(ModifiedTimeOf(current)) : OpenedDateOf(current);
    }
    return FileTimesOf(o.created ? o.createdDate : created, o.created ? o.createdTime : created,
                       o.modified ? o.modifiedDate : modified,
                       o.modified ? o.modifiedTime : modified, opened);
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

std::optional<platform::FileTimesToSet> TimesToAssign(
    const RunOptions& options, const std::optional<platform::FindData>& current) {
    switch (options.dateChange) {
        case DateChange::DoNotChange:
            return std::nullopt;
        case DateChange::SetSelected:
            return AllFileTimes(options.date, options.time);
        case DateChange::SetSeparate:
            return SeparateTimes(options, current);
    }
    return std::nullopt;
}

bool AssignTimes(platform::TFileHandle& file, const RunOptions& options, std::string& reason) {
    const std::optional<platform::FileTimesToSet> times = TimesToAssign(options, file.Find());
    if (!times) {
        reason = "no time is ticked";
        return false;
    }
    return file.SetTimes(*times, reason);
}

}  // namespace engine
