#pragma once
// Where Help > Help Topics finds the HTML manual.

#include <QString>

namespace ui {

// The manual's index page: beside the installed program (<prefix>/bin/kelvane finds
// <prefix>/share/doc/orbel-kelvane/manual), else in the source tree the program was built
// from, so a program run from its build folder shows the manual it came with. Empty when
// neither exists.
QString ManualPath(const QString& programFolder);

}  // namespace ui
