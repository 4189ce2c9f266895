// The kelvane-desktop module: the MIME database and the trash, read and reached through QtCore.

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QMimeType>
#include <QStandardPaths>
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

// The recycle bin of Windows is the freedesktop.org trash here; QtCore keeps its "files" and
// "info" entries as file managers expect them.
bool MoveToTrash(const std::string& path, std::string& reason) noexcept try {
    // The trash lives in the user's data folder, which a fresh account may not have yet; Qt
    // gives up on a missing one instead of making it.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (file.moveToTrash())
        return true;
    reason = file.errorString().toStdString();
    if (reason.empty())
        reason = "cannot be moved to the trash";
    return false;
} catch (...) {
    reason = "not enough memory";
    return false;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const platform::linux_fs::DesktopServices*
KelvaneDesktopServicesV1() {
    static const platform::linux_fs::DesktopServices services{DescribeType, MoveToTrash};
    return &services;
}
