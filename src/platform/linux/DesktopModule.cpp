// The kelvane-desktop module: the MIME database, read through QtCore.

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

#include "DesktopServices.h"

namespace {

constexpr qsizetype kMaxTypeNameLength = 80;

QMimeType TypeOf(const QMimeDatabase& database, const std::string& extension, bool isFolder) {
    if (isFolder)
        return database.mimeTypeForName(QStringLiteral("inode/directory"));
    // By the name alone, never by the content: a type looked up once serves every file with
    // the same extension.
    const QList<QMimeType> types = database.mimeTypesForFileName(
        QStringLiteral("file") +
        QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size())));
    return types.isEmpty() ? database.mimeTypeForName(QStringLiteral("application/octet-stream"))
                           : types.first();
}

// No exception leaves the module: the command line carries a C++ runtime of its own, to which
// an exception object and type of this one's would be foreign.
void DescribeType(const std::string& extension, bool isFolder, std::string& typeName,
                  std::string& iconName) noexcept {
    try {
        static const QMimeDatabase database;
        const QMimeType type = TypeOf(database, extension, isFolder);
        typeName = type.comment().left(kMaxTypeNameLength).toStdString();
        iconName = type.iconName().toStdString();
    } catch (...) {
        // Out of memory: the type is shown without a name.
        typeName.clear();
        iconName.clear();
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const platform::linux_fs::DesktopServices*
KelvaneDesktopServicesV2() {
    static const platform::linux_fs::DesktopServices services{DescribeType};
    return &services;
}
