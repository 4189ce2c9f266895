#include "ui/PickerFormats.h"

#include <QLocale>

namespace ui {

QString PickerDateFormat(const std::string& shortDatePattern) {
    // Bytes are copied whole, so a literal in another script ("yyyy年") stays intact.
    std::string format;
    for (const char c : shortDatePattern) {
        if (c == 'd' || c == 'y')
            format += c;
        else if (c == 'm')
            format += 'M';
        else if (c == '\'')
            format += "''";
        else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            format += std::string("'") + c + "'";  // a picker would read it as a field
        else
            format += c;
    }
    return QString::fromStdString(format);
}

QString PickerTimeFormat(const platform::LocaleFormats& formats) {
    if (!formats.twelveHourClock)
        return formats.hourLeadingZero ? QStringLiteral("HH:mm:ss") : QStringLiteral("H:mm:ss");
    const QString time =
        formats.hourLeadingZero ? QStringLiteral("hh:mm:ss") : QStringLiteral("h:mm:ss");
    return formats.amPmBeforeTime ? "AP " + time : time + " AP";
}

QString WithoutWeekday(const QString& format) {
    const auto isSeparator = [](QChar c) { return !c.isLetter() && c != '\''; };
    QString result;
    qsizetype i = 0;
    while (i < format.size()) {
        if (format[i] == '\'') {  // a quoted text, "''" in it standing for a quote
            qsizetype end = i + 1;
            while (end < format.size() && format[end] != '\'')
                ++end;
            result += format.mid(i, end + 1 - i);
            i = end + 1;
            continue;
        }
        qsizetype end = i;
        while (end < format.size() && format[end] == format[i])
            ++end;
        if (format[i] != 'd' || end - i < 3) {
            result += format.mid(i, end - i);
            i = end;
            continue;
        }
        // The weekday goes with the separators that join it to the next field, or, at the
        // end, with those that join it to the field before.
        while (end < format.size() && isSeparator(format[end]))
            ++end;
        if (end == format.size())
            while (!result.isEmpty() && isSeparator(result.back()))
                result.chop(1);
        i = end;
    }
    return result;
}

QString DatePickerFormatInForce(bool shortFormat) {
    if (shortFormat)
        return WithoutWeekday(PickerDateFormat(platform::CurrentLocaleFormats().shortDate));
    return WithoutWeekday(QLocale::system().dateFormat(QLocale::LongFormat));
}

QString TimePickerFormatInForce() {
    return PickerTimeFormat(platform::CurrentLocaleFormats());
}

}  // namespace ui
