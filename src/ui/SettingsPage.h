#pragma once
// Stand-in for the "Settings" page until the real one lands: the interface the window uses.

#include <QWidget>

namespace ui {

class TSettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit TSettingsPage(QWidget* parent = nullptr) : QWidget(parent) {}
    bool SortWithFolderName() const { return false; }
    bool ShortDateFormat() const { return false; }

signals:
    void ShortDateFormatChanged(bool shortFormat);
};

}  // namespace ui
