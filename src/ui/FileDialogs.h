#pragma once
// What the add commands' dialogs need from the string table, in the form Qt's dialogs take.

#include <QString>
#include <string_view>

namespace ui {

// A filter of pairs "description|patterns|..." (patterns separated by ";") as the file dialog
// takes it: "description (patterns)" joined by ";;". "*.*" means every file, as it always has,
// also a name without a dot.
QString OpenDialogFilter(std::string_view filter);

}  // namespace ui
