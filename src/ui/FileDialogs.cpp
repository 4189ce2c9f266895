#include "ui/FileDialogs.h"

#include <QStringList>

#include "ui/MsgStr.h"

namespace ui {

QString OpenDialogFilter(std::string_view filter) {
    const QStringList parts = msg::ToQString(filter).split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        patterns.replaceInStrings(QStringLiteral("*.*"), QStringLiteral("*"));
        entries.append(parts[i] + " (" + patterns.join(' ') + ")");
    }
    return entries.join(";;");
}

}  // namespace ui
