#pragma once
// Descriptors of the Linux backend: ownership, and the calls every user of one repeats.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/Result.h"
#include "platform/linux/Xattr.h"

namespace platform::linux_fs {

// Owns one descriptor and closes it.
class TDescriptor {
public:
    TDescriptor() = default;
    explicit TDescriptor(int fd) : fd_(fd) {}
    TDescriptor(TDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    TDescriptor& operator=(TDescriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    ~TDescriptor() {
        if (fd_ >= 0)
            close(fd_);
    }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};

// The descriptor's name under /proc: it reaches the very file the descriptor holds, with no
// look-up of the file's own path, even for an O_PATH descriptor.
std::string DescriptorPath(int fd);

// statx of the descriptor itself (an O_PATH one too). `sync`: AT_STATX_DONT_SYNC takes what a
// network or FUSE volume's cache holds, without asking the server again.
bool StatDescriptor(int fd, struct statx& st, int sync = AT_STATX_SYNC_AS_STAT);

// The extended attributes of the file a descriptor holds; `pathOnly` for an O_PATH one.
TXattrs XattrsOf(int fd, bool pathOnly);

// Writes all of `bytes` at `offset`; false with errno set.
bool WriteAllAt(int fd, std::span<const std::uint8_t> bytes, off_t offset);

// Reads the whole file from its start, however long it is by then; false with errno set.
bool ReadWhole(int fd, std::vector<std::uint8_t>& bytes);

// The system's text for an error number, for the command line.
std::string SystemReason(int error);

// Sets the reason of a failure and returns false, so that a failing step reads as one line.
inline bool Fail(std::string& reason, std::string text) {
    reason = std::move(text);
    return false;
}
inline bool FailWithErrno(std::string& reason) {
    return Fail(reason, SystemReason(errno));
}
// The same as a Result: the failure the system reported last.
inline Result FailedWithErrno() {
    return Result::Failed(SystemReason(errno));
}
// A Result of a step that set `reason` when it failed.
inline Result ResultOf(bool done, std::string& reason) {
    return done ? Result::Done() : Result::Failed(std::move(reason));
}

}  // namespace platform::linux_fs
