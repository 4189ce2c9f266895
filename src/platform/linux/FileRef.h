#pragma once
// One file as the attribute stores reach it: through the run's descriptor, or for a look-up by
// its path or by its name in an open folder. Whatever the way, a store reads and changes the file
// the caller holds, never a file a link swapped in since.

#include <sys/statfs.h>
#include <sys/types.h>

#include <string>

#include "platform/FileSystem.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/Xattr.h"

namespace platform::linux_fs {

class TFileRef {
public:
    // `pathOnly` for an O_PATH descriptor: it reaches the file through its name under /proc.
    // `memo`, if given, keeps for the holder of the descriptor the extended attribute values
    // read or written through it.
    static TFileRef OfDescriptor(int fd, bool pathOnly, TXattrMemo* memo = nullptr) {
        TFileRef file(fd, pathOnly, {}, {});
        file.memo_ = memo;
        return file;
    }
    static TFileRef OfPath(std::string path, LinkRule rule) {
        return TFileRef(-1, false, std::move(path), rule);
    }
    // The entry that the last component of `path` names in the open folder `folderFd`, reached
    // relative to that folder wherever the kernel allows (see TXattrs::InFolder).
    static TFileRef InFolder(int folderFd, std::string path, LinkRule rule) {
        TFileRef file(-1, false, std::move(path), rule);
        file.folderFd_ = folderFd;
        return file;
    }

    TXattrs Xattrs() const;
    // The file system the file lies on (statfs).
    bool FileSystem(struct statfs& fs) const;
    // Changes come only through a descriptor; a look-up by path fails here (EBADF).
    bool ChangeMode(mode_t mode) const;
    // A descriptor that ioctl accepts: the open one, or one opened read-only into `owned` for
    // the moment; -1 with errno set when the file cannot be opened so.
    int IoctlDescriptor(TDescriptor& owned) const;

private:
    TFileRef(int fd, bool pathOnly, std::string path, LinkRule rule)
        : fd_(fd), pathOnly_(pathOnly), path_(std::move(path)), rule_(rule) {}

    int fd_;
    int folderFd_ = -1;
    bool pathOnly_;
    std::string path_;
    LinkRule rule_;
    TXattrMemo* memo_ = nullptr;
};

}  // namespace platform::linux_fs
