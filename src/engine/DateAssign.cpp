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

bool AssignSeparateTimes(const std::string& path, const RunOptions& o) {
    if (!o.created && !o.modified && !o.opened)
        return false;
    const TDateTime created = o.created ? 0 : GetCreatedTime(path);
    const TDateTime modified = o.modified ? 0 : GetModifiedTime(path);
    TDateTime opened = o.openedDate;
    if (!o.opened) {
        // With Created and Modified ticked the last-access date comes from the last-write time.
        opened = o.created && o.modified ? DateOf(GetModifiedTime(path)) : GetOpenedDate(path);
    }
    return SetFileTimes(path, o.created ? o.createdDate : created,
                        o.created ? o.createdTime : created, o.modified ? o.modifiedDate : modified,
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

bool AssignTimes(const std::string& path, const RunOptions& options) {
    switch (options.dateChange) {
        case DateChange::DoNotChange:
            return true;
        case DateChange::SetSelected:
            return SetAllFileTimes(path, options.date, options.time);
        case DateChange::SetSeparate:
            return AssignSeparateTimes(path, options);
    }
    return false;
}

}  // namespace engine
