#pragma once
// New files beside existing ones, for writes that replace a file whole in one rename.

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "platform/linux/Descriptor.h"

namespace platform::linux_fs {

// A new file written next to another one, in the same folder (so a rename can put it in
// the other's place); removed again unless kept.
class TSiblingFile {
public:
    // Invalid, with errno set, when no file can be created there.
    explicit TSiblingFile(int folder) : folder_(folder) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name =
                ".kelvane-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
            fd_ = TDescriptor(openat(folder, name.c_str(),
                                     O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (fd_.Valid()) {
                name_ = std::move(name);
                return;
            }
            if (errno != EEXIST)
                return;
        }
    }
    TSiblingFile(const TSiblingFile&) = delete;
    TSiblingFile& operator=(const TSiblingFile&) = delete;
    ~TSiblingFile() {
        if (!name_.empty())
            unlinkat(folder_, name_.c_str(), 0);
    }

    bool Valid() const { return fd_.Valid(); }
    int Fd() const { return fd_.Get(); }
    const std::string& Name() const { return name_; }
    // The file stays: it has taken the old file's place, or holds what could not be put back.
    TDescriptor Keep() {
        name_.clear();
        return std::move(fd_);
    }

private:
    int folder_;
    std::string name_;
    TDescriptor fd_;
};

// The folder of a file to be replaced, opened for creating files in it and syncing it.
TDescriptor OpenFolder(const std::string& path);

}  // namespace platform::linux_fs
