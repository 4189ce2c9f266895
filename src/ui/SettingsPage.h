#pragma once
// TSettingsPage: the "Settings" page with the program's two options, kept in the settings
// file: sorting names together with their folder, and the short date format of the pickers;
// below them the past runs kept for Undo Last Run, and the command that forgets them.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace ui {

class TSettingsPage : public QWidget {
    Q_OBJECT
public:
    // Both options off, until the settings are read.
    explicit TSettingsPage(QWidget* parent = nullptr);

    bool SortWithFolderName() const { return cbSortWithFolderName.isChecked(); }
    void SetSortWithFolderName(bool on) { cbSortWithFolderName.setChecked(on); }
    bool ShortDateFormat() const { return cbShortDateFormat.isChecked(); }
    // Sends ShortDateFormatChanged when the option changes, as a click does.
    void SetShortDateFormat(bool on) { cbShortDateFormat.setChecked(on); }
    // What the past runs hold ("Past runs kept: ..."), and whether they may be forgotten now.
    void SetPastRuns(const QString& text, bool mayForget);

signals:
    // The user asks to forget the past runs (the window asks first).
    void ForgetRunsClicked();
    // The date pickers are to take the short date format, or the long one.
    void ShortDateFormatChanged(bool shortFormat);

private:
    void cbShortDateFormatClick();

    // Empty strips at the left and right; the options stand in the middle.
    QWidget Panel6{this};
    QWidget Panel7{this};
    QWidget Panel8{this};
    QGroupBox gbGeneral{&Panel7};
    QLabel imgSettings{&gbGeneral};
    QCheckBox cbSortWithFolderName{&gbGeneral};
    QCheckBox cbShortDateFormat{&gbGeneral};
    QGroupBox gbPastRuns{&Panel7};
    QLabel laPastRuns{&gbPastRuns};
    QPushButton btnForgetRuns{&gbPastRuns};
};

}  // namespace ui
