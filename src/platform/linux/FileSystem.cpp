// The look-ups on Linux, by path or in an open folder: statx and the attribute store of the
// file's volume (VolumeKind.h). Every change goes through a TFileHandle; the path setters here only
// open one.

#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/FileHandle.h"
#include "platform/Path.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/FileEntry.h"
#include "platform/linux/FolderOpen.h"
#include "platform/linux/VolumeKind.h"

namespace platform {
namespace {

using namespace linux_fs;

// statx of `path`, relative to `folderFd` (AT_FDCWD for the current folder).
bool StatAt(int folderFd, const char* path, LinkRule rule, struct statx& st) {
    const int flags =
        AT_STATX_SYNC_AS_STAT | (rule == LinkRule::NoFollow ? AT_SYMLINK_NOFOLLOW : 0);
    return statx(folderFd, path, flags, kStatxMask, &st) == 0;
}

// The entry named `name` whose statx is `st`, with what its volume's store keeps of it, read
// through the reference `reach` makes, only when it is read.
template <typename Reach>
FindData Describe(const std::string& name, const struct statx& st, FileDetail detail,
                  const Reach& reach) {
    // Only regular files and folders carry attributes; a link's own are not looked for.
    const bool stored =
        S_ISDIR(st.stx_mode) || (S_ISREG(st.stx_mode) && detail == FileDetail::Shown);
    if (!stored)
        return MakeFindData(name, st, DosAttribReading(name, st, StoredDosAttrib{}));
    const TFileRef file = reach();
    return MakeFindData(name, st, StoreFor(file, st).Read(file, name, st));
}

// An absolute path without "." or ".." components, empty components or a trailing "/":
// already what FullPath would make of it.
bool IsCleanAbsolute(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return false;
    if (path.size() == 1)
        return true;
    if (path.back() == '/')
        return false;
    for (std::size_t slash = 0; slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::size_t next = path.find('/', slash + 1);
        const std::size_t length = (next == std::string::npos ? path.size() : next) - slash - 1;
        if (length == 0)
            return false;
        if (path[slash + 1] == '.' && (length == 1 || (length == 2 && path[slash + 2] == '.'))) {
            return false;
        }
    }
    return true;
}

// Where the last ".." component of `path` ends; npos when it has none.
std::size_t LastUpComponentEnd(const std::string& path) {
    for (std::size_t up = path.rfind("/.."); up != std::string::npos;
         up = up == 0 ? std::string::npos : path.rfind("/..", up - 1)) {
        const std::size_t end = up + 3;
        if (end == path.size() || path[end] == '/')
            return end;
    }
    return std::string::npos;
}

// "." and empty components dropped, each ".." taking away the component before it.
std::string FoldLexically(const std::string& joined) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t slash = joined.find('/', start);
        if (slash == std::string::npos)
            slash = joined.size();
        std::string part = joined.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = slash + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

}  // namespace

std::string ResolveNamedLink(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    const std::string target = ResolvedPath(path);
    return target.empty() ? path : target;
}

std::string FullPath(const std::string& path) {
    // Every look-up passes through here, mostly with paths that are already full.
    if (IsCleanAbsolute(path))
        return path;
    std::string joined = path;
    if (path.empty() || path[0] != '/') {
        std::unique_ptr<char, decltype(&std::free)> cwd(getcwd(nullptr, 0), &std::free);
        joined = std::string(cwd ? cwd.get() : "") + "/" + path;
    }
    // After a link, ".." leads above the link's target, not back to the link's own folder: the
    // system resolves everything up to the last "..", and the rest holds none.
    if (const std::size_t up = LastUpComponentEnd(joined); up != std::string::npos) {
        const std::string resolved = ResolvedPath(joined.substr(0, up));
        if (!resolved.empty())
            joined = resolved + joined.substr(up);
    }
    return FoldLexically(joined);
}

std::optional<FindData> FindPath(const std::string& path, LinkRule rule, FileDetail detail) {
    std::string full = FullPath(path);
    if (full.size() >= PATH_MAX) {
        // Longer than one call takes: only a search finds such paths, and their folders hold no
        // link, so the entry is looked up in its folder, opened component by component.
        const TDescriptor folder(
            OpenFolderWithoutLinks(std::string(FolderViewOf(full)), FolderUse::LookUp));
        return folder.Valid() ? FindAt(folder.Get(), full, rule, detail) : std::nullopt;
    }
    struct statx st {};
    if (!StatAt(AT_FDCWD, full.c_str(), rule, st))
        return std::nullopt;
    const std::string name = LastComponent(full);
    return Describe(name, st, detail, [&] { return TFileRef::OfPath(std::move(full), rule); });
}

std::optional<FindData> FindAt(int folderFd, const std::string& path, LinkRule rule,
                               FileDetail detail) {
    const std::size_t nameStart = NameStart(path);
    struct statx st {};
    if (!StatAt(folderFd, path.c_str() + nameStart, rule, st))
        return std::nullopt;
    return Describe(path.substr(nameStart), st, detail,
                    [&] { return TFileRef::InFolder(folderFd, path, rule); });
}

TOpenFolders::THeld::THeld(THeld&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), error_(other.error_), owned_(other.owned_) {}

TOpenFolders::THeld::~THeld() {
    if (owned_ && fd_ >= 0)
        close(fd_);
}

TOpenFolders::~TOpenFolders() {
    for (const auto& [folder, held] : fds_) {
        if (held.fd >= 0)
            close(held.fd);
    }
}

TOpenFolders::THeld TOpenFolders::Holding(const std::string& path) {
    // Beyond this many, a list is spread over so many folders that few paths share one.
    constexpr std::size_t kMostFolders = 64;
    if (path == "/")
        return THeld(-1, 0, false);
    const std::string_view folder = FolderViewOf(path);
    {
        const std::lock_guard lock(mutex_);
        if (const auto known = fds_.find(folder); known != fds_.end())
            return THeld(known->second.fd, known->second.error, false);
        if (fds_.size() < kMostFolders) {
            std::string name(folder);
            // O_PATH: only a place to look names up from, so no read permission is needed.
            const int fd = OpenFolderWithoutLinks(name, FolderUse::LookUp);
            const Folder held{fd, fd < 0 ? errno : 0};
            // Only what the folder itself is stands for the rest of the run; a shortage of
            // descriptors or memory may be over by the next row.
            const bool lasting = fd >= 0 || held.error == ELOOP || held.error == ENOTDIR ||
                                 held.error == ENOENT || held.error == EACCES;
            if (!lasting)
                return THeld(-1, held.error, false);
            fds_.emplace(std::move(name), held);
            return THeld(held.fd, held.error, false);
        }
    }
    const int fd = OpenFolderWithoutLinks(std::string(folder), FolderUse::LookUp);
    return THeld(fd, fd < 0 ? errno : 0, true);
}

std::optional<FindData> FindNamedPath(std::string& path, TOpenFolders& folders, FileDetail detail) {
    assert(IsCleanAbsolute(path));
    std::optional<TOpenFolders::THeld> held(folders.Holding(path));
    if (held->Error() == ELOOP) {
        // A named path may pass through a link (/var/run -> /run): the row is made in the real
        // folder, so that a run can open it without following any link.
        const std::string folder = ResolvedPath(std::string(FolderViewOf(path)));
        if (!folder.empty()) {
            path = JoinPath(folder, LastComponent(path));
            held.emplace(folders.Holding(path));
        }
    }
    std::optional<FindData> found = held->Fd() >= 0
                                        ? FindAt(held->Fd(), path, LinkRule::NoFollow, detail)
                                        : FindPath(path, LinkRule::NoFollow, detail);
    if (!found || found->kind != EntryKind::SymbolicLink)
        return found;
    path = ResolveNamedLink(path);
    return FindPath(path, LinkRule::Follow, detail);
}

std::string PassedOverReason(EntryKind kind) {
    switch (kind) {
        case EntryKind::File:
            return {};
        case EntryKind::Folder:
            return "a folder is not processed";
        case EntryKind::SymbolicLink:
            return "a symbolic link is not followed";
        case EntryKind::Special:
            break;
    }
    return "a device, FIFO or socket is not changed";
}

std::uint32_t GetFileAttributes(const std::string& path) {
    const std::optional<FindData> found = FindPath(path);
    return found ? found->attributes : kInvalidAttributes;
}

bool SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    std::string reason;
    std::optional<TFileHandle> file = TFileHandle::Open(path, reason, OpenKind::FileOrFolder);
    return file && file->SetAttributes(attributes).Ok();
}

bool SetFileTimes(const std::string& path, const FileTimesToSet& times) {
    std::string reason;
    std::optional<TFileHandle> file = TFileHandle::Open(path, reason, OpenKind::FileOrFolder);
    return file && file->SetTimes(times).Ok();
}

}  // namespace platform
