#pragma once
// Typing into the date and time pickers as a user types a date: field by field, in any locale.
// A picker moves on to the next field by itself once a field is full; the separator the user
// types next is then taken as already passed, not as a move past the following field. A month
// field that shows names takes the first letters of a name, or the month's number; an AM/PM
// field takes the first letter of either text.

#include <QDateTimeEdit>
#include <QObject>
#include <QString>

namespace ui {

class TPickerTyping : public QObject {
public:
    // Watches the keys typed into `picker`, which it outlives as its child.
    explicit TPickerTyping(QDateTimeEdit& picker);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Each returns true when it took the typed text.
    bool SeparatorPassed(const QString& typed) const;
    bool MonthTyped(const QString& typed);
    bool AmPmTyped(const QString& typed);

    QDateTimeEdit& picker_;
    // What was typed into the month field since it was entered.
    QString monthTyped_;
    int monthSectionIndex_ = -1;
};

// The width the picker needs for the widest text its format shows for a date it takes (the
// longest month and weekday names), so that no text is cut.
void FitPickerWidth(QDateTimeEdit& picker);

}  // namespace ui
