#pragma once
// The layout shared by the sub-pages of "Parameters": a grid whose first column indents the
// controls under an option, and the names a screen reader gives their controls.

#include <QAbstractButton>
#include <QGridLayout>
#include <QString>
#include <QWidget>

namespace ui {

// How far the controls under an option stand in from it.
inline constexpr int kIndent = 19;

// A grid on `page`, with margins and spacing of the page's design and the indent column.
QGridLayout& PageGrid(QWidget& page);

// The last row and column of a page's grid take what the controls leave over.
void EndGrid(QGridLayout& grid);

// A caption as a screen reader says it: without its access key, its padding or a trailing
// colon.
QString AccessibleText(const QAbstractButton& button);

}  // namespace ui
