#pragma once
// The list of the files a run did not change, each with why, behind the status bar's
// "Details…": the user can read it, select it and copy it.

#include <QString>
#include <QWidget>

namespace ui {

// Shows `details` (one "path: reason" a line) under `summary`, modally; returns when closed.
void ShowNotChangedBox(QWidget& parent, const QString& summary, const QString& details);

}  // namespace ui
