// Listing a folder with readdir through a descriptor opened without following links.

#include "platform/FolderListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/FolderOpen.h"

namespace platform {
namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

struct TFolderListing::State {
    explicit State(DIR* opened) : dir(opened) {}
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() { closedir(dir); }

    // Whether the entry is a folder in its own right, judged without following a link.
    bool IsRealFolder(const dirent& entry) const {
        if (entry.d_type != DT_UNKNOWN)
            return entry.d_type == DT_DIR;
        // Some file systems leave the type to a look-up.
        struct stat st {};
        return fstatat(dirfd(dir), entry.d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
               S_ISDIR(st.st_mode);
    }

    DIR* const dir;
};

TFolderListing::TFolderListing(const std::string& folder) {
    const int fd = OpenFolderWithoutLinks(folder, FolderUse::List);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (!dir) {
        error_ = FolderReason(errno);
        if (fd >= 0)
            close(fd);
        return;
    }
    state_ = std::make_unique<State>(dir);
}

TFolderListing::~TFolderListing() = default;

bool TFolderListing::Next(ListedEntry& entry) {
    if (!state_)
        return false;
    for (;;) {
        const dirent* read = readdir(state_->dir);
        if (!read)
            return false;
        if (IsDotOrDotDot(read->d_name))
            continue;
        entry.name = read->d_name;
        entry.folder = state_->IsRealFolder(*read);
        entry.mayBeLink = read->d_type == DT_LNK || read->d_type == DT_UNKNOWN;
        return true;
    }
}

std::optional<FindData> TFolderListing::LookUp(const std::string& path) const {
    // One look-up serves both: a real folder is no link, so its target is itself.
    return state_ ? FindAt(dirfd(state_->dir), path) : std::nullopt;
}

}  // namespace platform
