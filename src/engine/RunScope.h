#pragma once
// The seven row scopes of a run: the Tag of the menu item that started it.

namespace engine {

enum class RunScope {
    CheckedOnly = 0,
    UncheckedOnly = 1,
    SelectedOnly = 2,
    UnselectedOnly = 3,
    CheckedOrSelected = 4,      // "Checked or selected items": either mark is enough
    UncheckedOrUnselected = 5,  // "Items not both checked and selected"
    All = 6,
};

bool IsRowVisited(RunScope scope, bool checked, bool selected);

}  // namespace engine
