#pragma once
// What screen readers and test robots see of a TStatusBarPro: the bar, with one read-only text
// child per shown panel (its Text as the name, its Hint as the description) followed by the
// bar's child widgets. A self-drawn bar would otherwise be invisible to them.

namespace ui {

class TStatusBarPro;

// Installs the accessibility factory once per process.
void InstallStatusBarAccessibility();

// Tells an attached screen reader that panel `index` reads differently now.
void NotifyPanelTextChanged(TStatusBarPro& bar, int index);

}  // namespace ui
