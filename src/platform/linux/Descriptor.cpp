#include "platform/linux/Descriptor.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/linux/FileEntry.h"

namespace platform::linux_fs {

std::string DescriptorPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

bool StatDescriptor(int fd, struct statx& st, int sync) {
    return statx(fd, "", AT_EMPTY_PATH | sync, kStatxMask, &st) == 0;
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

bool ReadWhole(int fd, std::vector<std::uint8_t>& bytes) {
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return false;
    // The size is a hint only: the file may grow or shrink while it is read, and a sparse
    // file's size must not make us reserve memory its data never fills.
    constexpr std::size_t kLargestFirstReserve = 64u << 20;
    constexpr std::size_t kLeastRead = 64u << 10;
    bytes.clear();
    bytes.reserve(std::min(static_cast<std::size_t>(st.st_size) + 1, kLargestFirstReserve));
    while (true) {
        const std::size_t done = bytes.size();
        // Past the reserve the vector grows geometrically, as the data really arrives.
        const std::size_t want = std::max(bytes.capacity() - done, kLeastRead);
        bytes.resize(done + want);
        ssize_t got;
        do {
            got = pread(fd, bytes.data() + done, want, static_cast<off_t>(done));
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            bytes.clear();
            return false;
        }
        bytes.resize(done + static_cast<std::size_t>(got));
        if (got == 0)
            return true;
    }
}

std::string SystemReason(int error) {
    char buffer[128];
    // The GNU strerror_r, which may return a static text instead of filling the buffer.
    return strerror_r(error, buffer, sizeof buffer);
}

}  // namespace platform::linux_fs
