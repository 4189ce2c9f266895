// Renames that never replace another file. renameat2(RENAME_NOREPLACE) does it in one step
// where the file system supports it; FUSE and NFS mounts refuse the flag (EINVAL), and there a
// hard link to the new name followed by removing the old one gives the same guarantee.

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/FileSystem.h"
#include "platform/Path.h"

namespace platform {
namespace {

// 0 when renamed, else the error number; EEXIST when the new name is taken.
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;

    if (link(from.c_str(), to.c_str()) == 0) {
        if (unlink(from.c_str()) == 0)
            return 0;
        const int error = errno;
        unlink(to.c_str());  // keep the file under its old name only
        return error;
    }
    if (errno == EEXIST)
        return EEXIST;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;

    // No hard links either (folders, or file systems without links): a plain rename after
    // checking that the new name is free is the best this file system allows.
    struct stat st {};
    if (lstat(to.c_str(), &st) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return lstat(a.c_str(), &sa) == 0 && lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// A change of letter case on a file system that ignores case: a plain rename would see the
// same file and do nothing, so the file goes through a unique name in its own folder.
MoveOutcome RenameThroughTemporary(const std::string& from, const std::string& to) {
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary = FolderOf(from) + "/.kelvane-rename-" + std::to_string(getpid()) + "-" +
                    std::to_string(counter++);
        error = RenameNoReplace(from, temporary);
    }
    if (error != 0)
        return {MoveResult::Failed, error};
    error = RenameNoReplace(temporary, to);
    if (error == 0)
        return {MoveResult::Moved, 0};
    RenameNoReplace(temporary, from);
    return error == EEXIST ? MoveOutcome{MoveResult::TargetExists, 0}
                           : MoveOutcome{MoveResult::Failed, error};
}

}  // namespace

MoveOutcome MoveFile(const std::string& from, const std::string& to) {
    if (from == to) {
        // Renaming a file to its own name changes nothing and succeeds, as on Windows.
        struct stat st {};
        return lstat(from.c_str(), &st) == 0 ? MoveOutcome{MoveResult::Moved, 0}
                                             : MoveOutcome{MoveResult::Failed, errno};
    }
    const int error = RenameNoReplace(from, to);
    if (error == 0)
        return {MoveResult::Moved, 0};
    if (error != EEXIST)
        return {MoveResult::Failed, error};
    if (SameFile(from, to))
        return RenameThroughTemporary(from, to);
    return {MoveResult::TargetExists, 0};
}

}  // namespace platform
