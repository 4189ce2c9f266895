#pragma once
// The extended attributes of one file, reached through its descriptor, by its path, or by its
// name in an open folder; read whole whatever their size.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace platform::linux_fs {

// Whether a failed read of a value (its errno) says there is none, or that the volume keeps
// none at all, rather than that it could not be read.
bool IsNoValue(int error);

// The values one holder of an open file has read or written through it, so that a change made
// right after a look-up does not read the same value again. Only what is known for sure is
// kept: a value, or its absence; the holder clears it once it no longer knows what the file
// holds.
class TXattrMemo {
public:
    // True with the value (nullopt with errno set for an absent one) when `name` is known.
    bool Recall(const char* name, std::optional<std::string>& value) const;
    // After a read: its value, or nullopt with errno telling why there is none; an absence
    // that may not last (a failed read) is not kept.
    void Remember(const char* name, const std::optional<std::string>& value);
    // After a write of `value` (nullopt: a removal): the value now held if it `succeeded`;
    // after a failed one the value is not known for sure.
    void Changed(const char* name, bool succeeded, const std::optional<std::string_view>& value);
    void Clear() { entries_.clear(); }

private:
    struct Entry {
        std::string name;
        std::optional<std::string> value;
        int error = 0;
    };
    void Keep(const char* name, const std::optional<std::string_view>& value, int error);
    void Forget(const char* name);

    std::vector<Entry> entries_;
};

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
    // The same attributes, with reads answered from and changes noted in `memo` (null: none).
    TXattrs Remembering(TXattrMemo* memo) const {
        TXattrs copy = *this;
        copy.memo_ = memo;
        return copy;
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
    bool SetRaw(const char* name, std::string_view value) const;
    bool RemoveRaw(const char* name) const;

    int fd_;
    int folderFd_ = -1;
    std::string path_;
    LinkRule rule_;
    TXattrMemo* memo_ = nullptr;
};

}  // namespace platform::linux_fs
