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
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (Create(NewName()) || errno != EEXIST)
                return;
        }
    }
    // A new file of a name chosen before (NewName); invalid with errno EEXIST when it is taken.
    TSiblingFile(int folder, const std::string& name) : folder_(folder) { Create(name); }

    // A name for a new file, unlike any this program made before.
    static std::string NewName() {
        static std::atomic<unsigned> counter{0};
        return ".kelvane-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
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
    bool Create(const std::string& name) {
        fd_ = TDescriptor(openat(folder_, name.c_str(),
                                 O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd_.Valid())
            name_ = name;
        return fd_.Valid();
    }

    int folder_;
    std::string name_;
    TDescriptor fd_;
};

// The folder of a file to be replaced, opened for creating files in it and syncing it.
TDescriptor OpenFolder(const std::string& path);

}  // namespace platform::linux_fs
