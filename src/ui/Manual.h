#pragma once
// Help > Help Topics: where the HTML manual is, and the program's own window that shows it,
// so that help works on a machine without a browser.

#include <QString>
#include <QWidget>
#include <memory>

namespace ui {

// The manual's index page: beside the installed program (<prefix>/bin/kelvane finds
// <prefix>/share/doc/orbel-kelvane/manual), else in the source tree the program was built
// from, so a program run from its build folder shows the manual it came with. Empty when
// neither exists.
QString ManualPath(const QString& programFolder);

// A window of `parent` that shows the manual at `path` (a QTextBrowser named "HelpBrowser"),
// or says that it is not installed when `path` is empty. Links within the manual stay in the
// window; links to the web go to the desktop's browser.
std::unique_ptr<QWidget> MakeManualWindow(QWidget& parent, const QString& path);

}  // namespace ui
