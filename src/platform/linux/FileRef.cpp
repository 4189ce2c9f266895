#include "platform/linux/FileRef.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/Path.h"

namespace platform::linux_fs {

TXattrs TFileRef::Xattrs() const {
    if (folderFd_ >= 0)
        return TXattrs::InFolder(folderFd_, path_, rule_);
    if (fd_ < 0)
        return TXattrs::OfPath(path_, rule_);
    return XattrsOf(fd_, pathOnly_).Remembering(memo_);
}

bool TFileRef::FileSystem(struct statfs& fs) const {
    if (fd_ >= 0)
        return fstatfs(fd_, &fs) == 0;
    return statfs(path_.c_str(), &fs) == 0;
}

bool TFileRef::ChangeMode(mode_t mode) const {
    if (pathOnly_)
        return chmod(DescriptorPath(fd_).c_str(), mode) == 0;
    return fchmod(fd_, mode) == 0;
}

int TFileRef::IoctlDescriptor(TDescriptor& owned) const {
    if (fd_ >= 0 && !pathOnly_)
        return fd_;
    const std::string path = fd_ >= 0 ? DescriptorPath(fd_) : path_;
    const int noFollow = fd_ < 0 && rule_ == LinkRule::NoFollow ? O_NOFOLLOW : 0;
    // An entry of an open folder is opened there, as it was looked up.
    const int base = folderFd_ >= 0 ? folderFd_ : AT_FDCWD;
    const char* name = folderFd_ >= 0 ? path.c_str() + NameStart(path) : path.c_str();
    // Non-blocking and without a controlling terminal, as the run opens every file.
    owned =
        TDescriptor(openat(base, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow));
    return owned.Get();
}

}  // namespace platform::linux_fs
