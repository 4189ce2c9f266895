// The recycle bin of Windows is the freedesktop.org trash here, reached through QtCore, which
// keeps its "files" and "info" entries as file managers expect them.

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>

#include "platform/Trash.h"

namespace platform {

bool MoveToTrash(const std::string& path, std::string& reason) {
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
}

}  // namespace platform
