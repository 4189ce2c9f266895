#pragma once
// The extended attributes of one file, reached through its descriptor, by its path, or by its
// name in an open folder; read whole whatever their size.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace platform::linux_fs {

class TXattrs {
public:
    // Through an open descriptor (one opened for reading or writing, not O_PATH).
    static TXattrs OfDescriptor(int fd) { return TXattrs(fd, {}, LinkRule::Follow); }
    static TXattrs OfPath(std::string path, LinkRule rule) {
        return TXattrs(-1, std::move(path), rule);
    }
    // The entry that the last component of `path` names in the open folder `folderFd`. Its
    // values are read relative to the folder, so that the kernel walks no other component; a
    // kernel without that call (before 6.13), or a sandbox that refuses it, reads them by `path`,
    // as every change does.
    static TXattrs InFolder(int folderFd, std::string path, LinkRule rule) {
        TXattrs xattrs(-1, std::move(path), rule);
        xattrs.folderFd_ = folderFd;
        return xattrs;
    }

    // The whole value; nullopt with errno set when it is absent or cannot be read.
    std::optional<std::string> Get(const char* name) const;
    bool Set(const char* name, std::string_view value) const;
    bool Remove(const char* name) const;
    // Every attribute's name; nullopt with errno set when they cannot be listed.
    std::optional<std::vector<std::string>> Names() const;

private:
    TXattrs(int fd, std::string path, LinkRule rule)
        : fd_(fd), path_(std::move(path)), rule_(rule) {}

    ssize_t GetRaw(const char* name, char* buffer, std::size_t size) const;
    ssize_t ListRaw(char* buffer, std::size_t size) const;

    int fd_;
    int folderFd_ = -1;
    std::string path_;
    LinkRule rule_;
};

}  // namespace platform::linux_fs
