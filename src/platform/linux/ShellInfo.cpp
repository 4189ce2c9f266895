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

// A kind of file: its key (the extension, or "/" for folders), and what the desktop says of it,
// asked the first time a row of that kind is shown.
struct ShellEntry {
    std::string key;
    bool described = false;
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
        entries_.push_back(ShellEntry{key, false, {}, 0});
        const int kind = static_cast<int>(entries_.size() - 1);
        kinds_.emplace(key, kind);
        return kind;
    }

    // Entries never move, and never change once described, so the one returned may be read
    // after the lock is gone.
    const ShellEntry& Entry(int kind) {
        static const ShellEntry kUnknown;
        std::lock_guard lock(mutex_);
        if (kind < 0 || static_cast<std::size_t>(kind) >= entries_.size())
            return kUnknown;
        ShellEntry& entry = entries_[static_cast<std::size_t>(kind)];
        if (!entry.described)
            Describe(entry);
        return entry;
    }

    std::string IconName(int index) {
        std::lock_guard lock(mutex_);
        if (index < 0 || static_cast<std::size_t>(index) >= iconNames_.size())
            return {};
        return iconNames_[static_cast<std::size_t>(index)];
    }

private:
    // Loading the desktop's type database takes longer than a whole command-line run that
    // shows no row, so it waits until a row is shown.
    void Describe(ShellEntry& entry) {
        std::string iconName;
        std::string problem;
        if (const linux_fs::DesktopServices* desktop = linux_fs::LoadDesktopServices(problem)) {
            const bool isFolder = entry.key == "/";
            desktop->describeType(isFolder ? std::string() : entry.key, isFolder, entry.typeName,
                                  iconName);
        } else if (!told_) {
            // Without the module every type is unknown: say so once rather than show blanks
            // as if they were the desktop's answer.
            std::cerr << program_invocation_short_name
                      << ": type names and icons are not available: " << problem << '\n';
            told_ = true;
        }
        entry.iconIndex = IconIndexFor(iconName);
        entry.described = true;
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
