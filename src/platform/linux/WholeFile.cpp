// Reading and writing a whole small file of the program's own (the settings), through a link
// the user made and never into anything but a regular file. A write leaves the old file or the
// new one after a crash or on a full disk: a new file beside it, synced, then one rename.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/SiblingFile.h"

namespace platform {
namespace linux_fs {

TDescriptor OpenFolder(const std::string& path) {
    TDescriptor folder(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder the caller may enter and write but not list still takes new files; only its
    // sync is then out of reach.
    if (!folder.Valid() && errno == EACCES)
        folder = TDescriptor(open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return folder;
}

}  // namespace linux_fs

using namespace linux_fs;

namespace {

constexpr const char* kNotRegular = "not a regular file, so it is left as it is";

// The regular file the path leads to, its links followed, with its look-up; the path itself
// with st_mode 0 when nothing is there. Nullopt with the reason for anything else (a link to
// nothing included, which stays a link).
std::optional<std::string> RegularTarget(const std::string& path, struct stat& st,
                                         std::string& reason) {
    std::string target = ResolveNamedLink(path);
    if (lstat(target.c_str(), &st) != 0) {
        st.st_mode = 0;
        if (errno == ENOENT)
            return target;
        FailWithErrno(reason);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        Fail(reason, kNotRegular);
        return std::nullopt;
    }
    return target;
}

}  // namespace

OwnFileRead ReadOwnFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                        std::string& reason) {
    bytes.clear();
    struct stat st {};
    const std::optional<std::string> target = RegularTarget(path, st, reason);
    if (!target)
        return OwnFileRead::Refused;
    if (st.st_mode == 0)
        return OwnFileRead::Missing;
    // Not blocking, should a FIFO have been put there since the look-up; it is refused below.
    const TDescriptor file(open(target->c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (file.Valid() && fstat(file.Get(), &st) == 0 && !S_ISREG(st.st_mode)) {
        Fail(reason, kNotRegular);
        return OwnFileRead::Refused;
    }
    if (!file.Valid() || !ReadWhole(file.Get(), bytes)) {
        FailWithErrno(reason);
        return OwnFileRead::Refused;
    }
    return OwnFileRead::Read;
}

Result CreateFolders(const std::string& folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? Result::Done() : Result::Failed(SystemReason(ENOTDIR));
    const std::string parent = FolderOf(folder);
    if (parent != folder) {
        if (Result made = CreateFolders(parent); !made)
            return made;
    }
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST ? Result::Done() : FailedWithErrno();
}

Result WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    struct stat st {};
    std::string reason;
    const std::optional<std::string> target = RegularTarget(path, st, reason);
    if (!target)
        return Result::Failed(reason);
    const mode_t mode = st.st_mode == 0 ? 0644 : st.st_mode & 07777;
    const TDescriptor folder = OpenFolder(FolderOf(*target));
    if (!folder.Valid())
        return FailedWithErrno();
    TSiblingFile file(folder.Get());
    if (!file.Valid() || !WriteAllAt(file.Fd(), bytes, 0) || fsync(file.Fd()) != 0 ||
        fchmod(file.Fd(), mode) != 0 ||
        renameat(folder.Get(), file.Name().c_str(), folder.Get(), LastComponent(*target).c_str()) !=
            0) {
        return FailedWithErrno();
    }
    file.Keep();
    fsync(folder.Get());
    return Result::Done();
}

}  // namespace platform
