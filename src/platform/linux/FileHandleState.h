#pragma once
// What a TFileHandle holds of its file on Linux: the descriptor (or, for a handle that only
// looks, the file's folder) and what is known of the file through it, kept so that a run looks each
// file up once.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <utility>

#include "platform/FileHandle.h"
#include "platform/linux/FileRef.h"
#include "platform/linux/Xattr.h"

namespace platform {

struct TFileHandle::State {
    State(int descriptor, bool onlyPath, const struct statx& opened)
        : fd(descriptor), pathOnly(onlyPath), st(opened), statKnown(true) {}
    // A handle that only looks (TFileHandle::Look): the file's folder, no descriptor of its own.
    State(TOpenFolders::THeld heldFolder, const struct statx& found)
        : folder(std::move(heldFolder)), st(found), statKnown(true) {}
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
    // The folder a handle that only looks reaches the file `path` names through.
    std::optional<TOpenFolders::THeld> folder;
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

    // The file as the stores reach it: through the descriptor, or by name in its folder.
    linux_fs::TFileRef Ref(const std::string& path) {
        if (folder)
            return linux_fs::TFileRef::InFolder(folder->Fd(), path, LinkRule::NoFollow);
        return linux_fs::TFileRef::OfDescriptor(fd, pathOnly, &xattrs);
    }
};

}  // namespace platform
