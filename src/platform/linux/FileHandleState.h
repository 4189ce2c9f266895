#pragma once
// What a TFileHandle holds of its open file on Linux: the descriptor and what is known of the
// file through it, kept so that a run looks each file up once.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <optional>

#include "platform/FileHandle.h"
#include "platform/linux/Xattr.h"

namespace platform {

struct TFileHandle::State {
    State(int descriptor, bool onlyPath, const struct statx& opened)
        : fd(descriptor), pathOnly(onlyPath), st(opened), statKnown(true) {}
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (fd >= 0)
            close(fd);
    }

    int fd = -1;
    // An O_PATH descriptor of a file the caller may change but not read: reads fail, and
    // changes go through the descriptor's name under /proc.
    bool pathOnly = false;
    // The statx of the descriptor, looked up again when a change made it unknown.
    struct statx st {};
    bool statKnown = false;
    // The whole look-up, once asked for.
    std::optional<FindData> known;
    // The attributes, when they were read without the rest of the look-up.
    std::optional<std::uint32_t> attributes;
    // The two Linux times (and the size) of `known` must be read again.
    bool timesStale = false;
    // The extended attributes read or written through the descriptor, as far as known.
    linux_fs::TXattrMemo xattrs;
};

}  // namespace platform
