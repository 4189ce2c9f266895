#include "platform/linux/Descriptor.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/FileEntry.h"

namespace platform::linux_fs {

std::string DescriptorPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

bool StatDescriptor(int fd, struct statx& st) {
    return statx(fd, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, kStatxMask, &st) == 0;
}

TXattrs XattrsOf(int fd, bool pathOnly) {
    if (pathOnly)
        return TXattrs::OfPath(DescriptorPath(fd), LinkRule::Follow);
    return TXattrs::OfDescriptor(fd);
}

bool WriteAllAt(int fd, std::span<const std::uint8_t> bytes, off_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        if (written == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

std::string SystemReason(int error) {
    char buffer[128];
    // The GNU strerror_r, which may return a static text instead of filling the buffer.
    return strerror_r(error, buffer, sizeof buffer);
}

}  // namespace platform::linux_fs
