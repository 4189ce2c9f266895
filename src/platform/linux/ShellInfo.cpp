// Type names and icons from the desktop's MIME database (shared-mime-info, read through Qt).
// Looked up once per extension: the list asks for every row it adds.

#include "platform/ShellInfo.h"
#include "platform/Path.h"

#include <QMimeDatabase>
#include <QMimeType>

#include <deque>
#include <map>
#include <mutex>
#include <vector>

namespace platform {
namespace {

constexpr std::size_t kMaxTypeNameLength = 80;

struct ShellEntry {
    std::string typeName;
    int iconIndex = 0;
};

class ShellCache {
public:
    int Kind(const std::string& fileName, bool isFolder) {
        const std::string key = isFolder ? std::string("/") : platform::ExtensionOf(fileName);
        std::lock_guard lock(mutex_);
        if (const auto found = kinds_.find(key); found != kinds_.end())
            return found->second;
        entries_.push_back(Resolve(key, isFolder));
        const int kind = static_cast<int>(entries_.size() - 1);
        kinds_.emplace(key, kind);
        return kind;
    }

    // Entries never change once made and never move, so the one returned may be read after
    // the lock is gone.
    const ShellEntry& Entry(int kind) {
        static const ShellEntry kUnknown;
        std::lock_guard lock(mutex_);
        if (kind < 0 || static_cast<std::size_t>(kind) >= entries_.size())
            return kUnknown;
        return entries_[static_cast<std::size_t>(kind)];
    }

    std::string IconName(int index) {
        std::lock_guard lock(mutex_);
        if (index < 0 || static_cast<std::size_t>(index) >= iconNames_.size())
            return {};
        return iconNames_[static_cast<std::size_t>(index)];
    }

private:
    ShellEntry Resolve(const std::string& extension, bool isFolder) {
        QMimeType type;
        if (isFolder) {
            type = database_.mimeTypeForName(QStringLiteral("inode/directory"));
        } else {
            const QList<QMimeType> types = database_.mimeTypesForFileName(
                QStringLiteral("file") +
                QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size())));
            type = types.isEmpty()
                       ? database_.mimeTypeForName(QStringLiteral("application/octet-stream"))
                       : types.first();
        }
        ShellEntry entry;
        entry.typeName = type.comment().left(kMaxTypeNameLength).toStdString();
        entry.iconIndex = IconIndexFor(type.iconName().toStdString());
        return entry;
    }

    int IconIndexFor(const std::string& iconName) {
        for (std::size_t i = 0; i < iconNames_.size(); ++i) {
            if (iconNames_[i] == iconName)
                return static_cast<int>(i);
        }
        iconNames_.push_back(iconName);
        return static_cast<int>(iconNames_.size() - 1);
    }

    std::mutex mutex_;
    QMimeDatabase database_;
    std::map<std::string, int> kinds_;
    std::deque<ShellEntry> entries_;
    std::vector<std::string> iconNames_;
};

ShellCache& Cache() {
    static ShellCache cache;
    return cache;
}

}  // namespace

int ShellKindOf(const std::string& fileName, bool isFolder) {
    return Cache().Kind(fileName, isFolder);
}

const std::string& TypeNameOfKind(int kind) {
    return Cache().Entry(kind).typeName;
}

int IconIndexOfKind(int kind) {
    return Cache().Entry(kind).iconIndex;
}

std::string TypeNameOf(const std::string& fileName, bool isFolder) {
    return TypeNameOfKind(ShellKindOf(fileName, isFolder));
}

int IconIndexOf(const std::string& fileName, bool isFolder) {
    return IconIndexOfKind(ShellKindOf(fileName, isFolder));
}

std::string IconNameAt(int index) {
    return Cache().IconName(index);
}

}  // namespace platform
