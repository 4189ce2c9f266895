#include "engine/RunScope.h"

namespace engine {

bool IsRowVisited(RunScope scope, bool checked, bool selected) {
    switch (scope) {
        case RunScope::CheckedOnly:
            return checked;
        case RunScope::UncheckedOnly:
            return !checked;
        case RunScope::SelectedOnly:
            return selected;
        case RunScope::UnselectedOnly:
            return !selected;
        // These two are tested with "or" and are not each other's complement: a row that is
        // checked but not selected is visited by both.
        case RunScope::CheckedOrSelected:
            return selected || checked;
        case RunScope::UncheckedOrUnselected:
            return !selected || !checked;
        case RunScope::All:
            return true;
    }
    return false;
}

}  // namespace engine
