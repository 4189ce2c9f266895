// Opening a folder of a known path so that no symbolic link on the path is followed, and the
// look-ups that resolve a path the way the system does.

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/FileSystem.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/FolderOpen.h"

namespace platform {
namespace {

using linux_fs::TDescriptor;

// One component at a time, each opened in the one before without following a link: as deep
// as the tree goes, and on a kernel without openat2.
int OpenComponentByComponent(const std::string& path, int flags) {
    TDescriptor folder(open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::size_t start = path.find_first_not_of('/');
    if (start == std::string::npos)
        return folder.Valid() ? openat(folder.Get(), ".", flags) : -1;
    while (folder.Valid()) {
        std::size_t end = path.find('/', start);
        const bool last = end == std::string::npos;
        const std::string name = path.substr(start, last ? std::string::npos : end - start);
        const int fd = openat(folder.Get(), name.c_str(),
                              (last ? flags : O_PATH | O_DIRECTORY | O_CLOEXEC) | O_NOFOLLOW);
        if (fd < 0 && errno == ENOTDIR) {
            // O_DIRECTORY and O_NOFOLLOW refuse a link with the same error as a file.
            struct stat st {};
            if (fstatat(folder.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(st.st_mode))
                errno = ELOOP;
            else
                errno = ENOTDIR;
        }
        if (last || fd < 0)
            return fd;
        folder = TDescriptor(fd);
        start = path.find_first_not_of('/', end);
        if (start == std::string::npos)
            return openat(folder.Get(), ".", flags);
    }
    return -1;
}

}  // namespace

int OpenFolderWithoutLinks(const std::string& path, FolderUse use) {
    const int flags = O_DIRECTORY | O_CLOEXEC | (use == FolderUse::List ? O_RDONLY : O_PATH);
    if (path.size() < PATH_MAX) {
        // One call checks every component.
        open_how how{};
        how.flags = static_cast<std::uint64_t>(flags);
        how.resolve = RESOLVE_NO_SYMLINKS;
        const long fd = syscall(SYS_openat2, AT_FDCWD, path.c_str(), &how, sizeof how);
        // A kernel before 5.6 lacks the call (ENOSYS); a sandbox may refuse it (EPERM), which
        // it never means for these flags.
        if (fd >= 0 || (errno != ENOSYS && errno != EPERM))
            return static_cast<int>(fd);
    }
    return OpenComponentByComponent(path, flags);
}

std::string FolderReason(int error) {
    switch (error) {
        case ELOOP:
            return "a folder on its path was replaced by a symbolic link";
        case ENOTDIR:
            return "a folder on its path is no longer a folder";
        default:
            return linux_fs::SystemReason(error);
    }
}

std::string ResolvedPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

std::string ResolvedPath(const std::string& path, std::string& reason) {
    std::string resolved = ResolvedPath(path);
    if (resolved.empty())
        reason = FolderReason(errno);
    return resolved;
}

}  // namespace platform
