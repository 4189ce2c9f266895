#include "gif/GIFFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "gif/GIFException.h"
#include "platform/FileSystem.h"

namespace gif {
namespace {

// Closes a descriptor on every path out of a function.
class TFileHandle {
public:
    explicit TFileHandle(int fd) : fd_(fd) {}
    ~TFileHandle() {
        if (fd_ >= 0)
            close(fd_);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::string CannotOpenFile(const std::string& path) {
    return "Cannot open file " + path;
}
std::string CannotCreateFile(const std::string& path) {
    return "Cannot create file " + path;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    // Non-blocking, so that a FIFO named like a GIF fails here instead of waiting forever for
    // a writer; on a regular file the flag changes nothing.
    const TFileHandle file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (file.Get() < 0 || fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        throw GIFException(CannotOpenFile(path));
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    // The size is only a hint: a file that changes while it is read is taken as it is.
    while (true) {
        if (done == bytes.size())
            bytes.resize(bytes.size() + 65536);
        const ssize_t got = read(file.Get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw GIFException(CannotOpenFile(path));
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

TInPlaceFile::TInPlaceFile(const std::string& path) : path_(path) {
    // Windows cannot open a read-only file for writing; keep that promise even for root.
    if (platform::GetFileAttributes(path) & platform::kAttrReadOnly) {
        throw GIFException(CannotCreateFile(path));
    }
    // No O_TRUNC: the old bytes stay until the new ones are complete.
    fd_ = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw GIFException(CannotCreateFile(path));
}

TInPlaceFile::~TInPlaceFile() {
    if (fd_ >= 0)
        close(fd_);
}

bool TInPlaceFile::WriteAll(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return fsync(fd_) == 0 && ftruncate(fd_, static_cast<off_t>(bytes.size())) == 0;
}

void TInPlaceFile::Replace(const std::vector<std::uint8_t>& content,
                           const std::vector<std::uint8_t>& original) {
    if (WriteAll(content))
        return;
    // The old bytes fit where they were, so putting them back needs no new space.
    WriteAll(original);
    throw GIFException(msg::kStreamWrite);
}

}  // namespace gif
