// Writing a whole small file of the program's own (the settings) so that a crash or a full
// disk leaves the old file or the new one: a new file beside it, synced, then one rename.

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

bool CreateFolders(const std::string& folder, std::string& reason) {
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) || Fail(reason, SystemReason(ENOTDIR));
    const std::string parent = FolderOf(folder);
    if (parent != folder && !CreateFolders(parent, reason))
        return false;
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST || FailWithErrno(reason);
}

bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                    std::string& reason) {
    const TDescriptor folder = OpenFolder(FolderOf(path));
    if (!folder.Valid())
        return FailWithErrno(reason);
    TSiblingFile file(folder.Get());
    if (!file.Valid() || !WriteAllAt(file.Fd(), bytes, 0) || fsync(file.Fd()) != 0 ||
        fchmod(file.Fd(), 0644) != 0 ||
        renameat(folder.Get(), file.Name().c_str(), folder.Get(), LastComponent(path).c_str()) !=
            0) {
        return FailWithErrno(reason);
    }
    file.Keep();
    fsync(folder.Get());
    return true;
}

}  // namespace platform
