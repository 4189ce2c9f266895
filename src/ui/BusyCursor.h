#pragma once
// The hourglass for the length of a long operation on the window's thread; the cursor comes
// back however the operation ends.

#include <QApplication>

namespace ui {

class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace ui
