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

QString DatePickerFormatInForce(bool shortFormat) {
    if (shortFormat)
        return PickerDateFormat(platform::CurrentLocaleFormats().shortDate);
    return QLocale::system().dateFormat(QLocale::LongFormat);
}

QString TimePickerFormatInForce() {
    return PickerTimeFormat(platform::CurrentLocaleFormats());
}

}  // namespace ui
