#pragma once
// The extended attributes of one file, reached through its descriptor or by its path, read
// whole whatever their size.

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
    std::string path_;
    LinkRule rule_;
};

}  // namespace platform::linux_fs
