// Type names and icons from the desktop's MIME database (shared-mime-info, read through the
// kelvane-desktop module). Looked up once per extension: the list asks for every row it shows.

#include "platform/ShellInfo.h"
#include "platform/Path.h"
#include "platform/linux/DesktopServices.h"

#include <cerrno>
#include <deque>
#include <iostream>
#include <map>
#include <mutex>
#include <vector>

namespace platform {
namespace {

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
        std::string typeName, iconName;
        std::string problem;
        if (const linux_fs::DesktopServices* desktop = linux_fs::LoadDesktopServices(problem)) {
            desktop->describeType(extension, isFolder, typeName, iconName);
        } else if (!told_) {
            // Without the module every type is unknown: say so once rather than show blanks
            // as if they were the desktop's answer.
            std::cerr << program_invocation_short_name
                      << ": type names and icons are not available: " << problem << '\n';
            told_ = true;
        }
        return {typeName, IconIndexFor(iconName)};
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
    bool told_ = false;
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
