#include "ui/PickerTyping.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace ui {

namespace {

QLineEdit* TextOf(const QDateTimeEdit& picker) {
    return picker.findChild<QLineEdit*>();
}

// The dates whose texts are the widest the format can show: each month at a long day, each
// weekday, in the last year a picker takes.
QString WidestText(const QDateTimeEdit& picker) {
    const QFontMetrics metrics = picker.fontMetrics();
    const QDate last = picker.maximumDate();
    QString widest;
    int widestWidth = 0;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 22; day <= 28; ++day) {
            const QString text = picker.locale().toString(
                QDateTime(QDate(last.year(), month, day), QTime(23, 58, 58)),
                picker.displayFormat());
            if (const int width = metrics.horizontalAdvance(text); width > widestWidth) {
                widestWidth = width;
                widest = text;
            }
        }
    }
    return widest;
}

}  // namespace

TPickerTyping::TPickerTyping(QDateTimeEdit& picker) : QObject(&picker), picker_(picker) {
    picker.installEventFilter(this);
}

bool TPickerTyping::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &picker_ || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    if (picker_.currentSectionIndex() != monthSectionIndex_)
        monthTyped_.clear();
    monthSectionIndex_ = picker_.currentSectionIndex();
    // Keys that do not type (Tab, Backspace, Enter) keep their own meaning.
    if (typed.size() != 1 || !typed[0].isPrint() ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    return SeparatorPassed(typed) || MonthTyped(typed) || AmPmTyped(typed);
}

// The field is entered at its start (the picker moved on by itself, or the user came to it):
// the separator before it is already passed.
bool TPickerTyping::SeparatorPassed(const QString& typed) const {
    if (typed[0].isLetterOrNumber())
        return false;
    const QLineEdit* text = TextOf(picker_);
    if (text == nullptr)
        return false;
    const QString shown = text->text();
    const int start = text->hasSelectedText() ? text->selectionStart() : text->cursorPosition();
    for (int i = start - 1; i >= 0 && !shown[i].isLetterOrNumber(); --i)
        if (shown[i] == typed[0])
            return true;
    return false;
}

// Letters choose the one month whose long or short name begins with them; digits give its
// number.
bool TPickerTyping::MonthTyped(const QString& typed) {
    if (picker_.currentSection() != QDateTimeEdit::MonthSection ||
        !picker_.displayFormat().contains(QStringLiteral("MMM")) || !typed[0].isLetterOrNumber())
        return false;
    monthTyped_ += typed;
    int month = 0;
    bool number = false;
    const int asNumber = monthTyped_.toInt(&number);
    if (number) {
        month = asNumber >= 1 && asNumber <= 12 ? asNumber : 0;
    } else {
        for (int candidate = 1; candidate <= 12; ++candidate) {
            for (const QLocale::FormatType format : {QLocale::LongFormat, QLocale::ShortFormat}) {
                if (!picker_.locale()
                         .monthName(candidate, format)
                         .startsWith(monthTyped_, Qt::CaseInsensitive))
                    continue;
                if (month != 0 && month != candidate) {
                    month = -1;  // more than one begins so: wait for the next letter
                    break;
                }
                month = candidate;
            }
        }
    }
    if (month == 0)
        monthTyped_.chop(1);  // begins no name: refused, as a picker refuses what cannot be
    if (month > 0) {
        const QDate date = picker_.date();
        const QDate first(date.year(), month, 1);
        picker_.setDate(QDate(date.year(), month, std::min(date.day(), first.daysInMonth())));
        picker_.setSelectedSection(QDateTimeEdit::MonthSection);
        // A number that cannot grow, or a name, is the whole field: on to the next.
        if (!number || asNumber > 1 || monthTyped_.size() == 2) {
            monthTyped_.clear();
            const int next = picker_.currentSectionIndex() + 1;
            if (next < picker_.sectionCount())
                picker_.setSelectedSection(picker_.sectionAt(next));
            monthSectionIndex_ = picker_.currentSectionIndex();
        }
    }
    return true;
}

// One letter is enough where it begins only one of the two texts.
bool TPickerTyping::AmPmTyped(const QString& typed) {
    if (picker_.currentSection() != QDateTimeEdit::AmPmSection || !typed[0].isLetter())
        return false;
    const QString am = picker_.locale().amText();
    const QString pm = picker_.locale().pmText();
    const bool toAm = am.startsWith(typed, Qt::CaseInsensitive);
    const bool toPm = pm.startsWith(typed, Qt::CaseInsensitive);
    if (toAm == toPm)
        return false;  // both or neither: the picker's own matching decides
    const QTime time = picker_.time();
    const bool isPm = time.hour() >= 12;
    if (toPm != isPm)
        picker_.setTime(time.addSecs(toPm ? 12 * 3600 : -12 * 3600));
    picker_.setSelectedSection(QDateTimeEdit::AmPmSection);
    return true;
}

void FitPickerWidth(QDateTimeEdit& picker) {
    const QFontMetrics metrics = picker.fontMetrics();
    // What the picker adds to its text (frame, arrows), from its own size for its range.
    const int shownWidth = std::max(metrics.horizontalAdvance(picker.locale().toString(
                                        picker.minimumDateTime(), picker.displayFormat())),
                                    metrics.horizontalAdvance(picker.locale().toString(
                                        picker.maximumDateTime(), picker.displayFormat())));
    const int around = picker.sizeHint().width() - shownWidth;
    picker.setMinimumWidth(metrics.horizontalAdvance(WidestText(picker)) + std::max(around, 0) + 2);
}

}  // namespace ui
