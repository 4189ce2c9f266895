#include "ui/Manual.h"

#include <QDir>
#include <QFileInfo>

namespace ui {

QString ManualPath(const QString& programFolder) {
    const QString candidates[] = {
        QDir(programFolder).filePath(QStringLiteral(KELVANE_INSTALLED_MANUAL)),
        QStringLiteral(KELVANE_SOURCE_MANUAL),
    };
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    return {};
}

}  // namespace ui
