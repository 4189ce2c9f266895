// The file operations on Linux: statx for look-ups, the mode's write bits for read-only,
// "user.DOSATTRIB" for hidden, system, archive and the creation time, utimensat for the others.

#include "platform/FileSystem.h"
#include "platform/Path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "platform/linux/DosAttrib.h"

namespace platform {
namespace {

using linux_fs::DosAttrib;
using linux_fs::kDosAttribName;

constexpr std::uint32_t kStoredBits = kAttrHidden | kAttrSystem | kAttrArchive;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool StatPath(const std::string& path, struct statx& st) {
    return statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME,
                 &st) == 0;
}

// What "user.DOSATTRIB" of a file holds, as raw bytes and as read.
struct StoredDosAttrib {
    bool present = false;
    std::string raw;
    std::optional<DosAttrib> parsed;
};

StoredDosAttrib ReadStoredDosAttrib(const std::string& path) {
    StoredDosAttrib stored;
    char buffer[256];
    ssize_t n = getxattr(path.c_str(), kDosAttribName, buffer, sizeof buffer);
    if (n >= 0) {
        stored.raw.assign(buffer, static_cast<std::size_t>(n));
    } else if (errno == ERANGE) {
        // Larger than any form we know, but still read it whole rather than guess.
        const ssize_t size = getxattr(path.c_str(), kDosAttribName, nullptr, 0);
        if (size <= 0)
            return stored;
        stored.raw.resize(static_cast<std::size_t>(size));
        n = getxattr(path.c_str(), kDosAttribName, stored.raw.data(), stored.raw.size());
        if (n < 0)
            return stored;
        stored.raw.resize(static_cast<std::size_t>(n));
    } else {
        return stored;  // absent, unsupported or unreadable: no bits are stored
    }
    stored.present = true;
    stored.parsed = linux_fs::ParseDosAttrib(stored.raw);
    return stored;
}

// Puts "user.DOSATTRIB" into the state `wanted`, or removes it when nothing is left to keep.
bool WriteDosAttrib(const std::string& path, const StoredDosAttrib& current,
                    const DosAttrib& wanted) {
    if (wanted.attributes == 0 && !wanted.creationTime) {
        if (!current.present)
            return true;
        return removexattr(path.c_str(), kDosAttribName) == 0 || errno == ENODATA;
    }
    const std::string value = linux_fs::EncodeDosAttrib(wanted);
    return setxattr(path.c_str(), kDosAttribName, value.data(), value.size(), 0) == 0;
}

bool RestoreDosAttrib(const std::string& path, const StoredDosAttrib& previous) {
    if (previous.present) {
        return setxattr(path.c_str(), kDosAttribName, previous.raw.data(), previous.raw.size(),
                        0) == 0;
    }
    return removexattr(path.c_str(), kDosAttribName) == 0 || errno == ENODATA;
}

bool IsDotName(const std::string& name) {
    return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

std::uint32_t AttributesOf(const std::string& name, const struct statx& st,
                           const StoredDosAttrib& stored) {
    std::uint32_t attributes = stored.parsed ? stored.parsed->attributes & kStoredBits : 0;
    if (S_ISDIR(st.stx_mode))
        attributes |= kAttrDirectory;
    if ((st.stx_mode & kWriteBits) == 0)
        attributes |= kAttrReadOnly;
    if (IsDotName(name))
        attributes |= kAttrHidden;
    if ((st.stx_attributes_mask & STATX_ATTR_COMPRESSED) &&
        (st.stx_attributes & STATX_ATTR_COMPRESSED)) {
        attributes |= kAttrCompressed;
    }
    return attributes;
}

FileTime ToFileTime(const statx_timestamp& ts) {
    FileTime result = 0;
    UnixToFileTime(timespec{static_cast<time_t>(ts.tv_sec), static_cast<long>(ts.tv_nsec)}, result);
    return result;
}

// The process's file mode creation mask, read without changing it (umask() would, racily).
mode_t ProcessUmask() {
    static const mode_t mask = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("Umask:", 0) == 0) {
                return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
            }
        }
        return static_cast<mode_t>(022);
    }();
    return mask;
}

// Read-only sets no write bit at all; clearing it gives back the owner's write bit and, where
// the umask allows, write to those who may read, as Wine does for Windows programs.
mode_t ModeFor(mode_t mode, bool readOnly) {
    if (readOnly)
        return mode & ~kWriteBits;
    if ((mode & kWriteBits) != 0)
        return mode;
    return mode | ((S_IRUSR | S_IWUSR | ((mode & (S_IRGRP | S_IROTH)) >> 1)) & ~ProcessUmask());
}

timespec OmitOr(const std::optional<FileTime>& time) {
    if (!time)
        return timespec{0, UTIME_OMIT};
    return FileTimeToUnix(*time);
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

// Stores a creation time in the attribute. Where the file system keeps no user attributes
// the creation time cannot change at all; writing back the time it already has (as a run does
// for a time it keeps) then still succeeds.
bool StoreCreationTime(const std::string& path, FileTime creation) {
    const StoredDosAttrib current = ReadStoredDosAttrib(path);
    DosAttrib wanted = current.parsed.value_or(DosAttrib{});
    wanted.creationTime = creation;
    if (WriteDosAttrib(path, current, wanted))
        return true;
    if (errno != ENOTSUP && errno != EOPNOTSUPP)
        return false;
    const std::optional<FindData> found = FindPath(path);
    // Times written pass through the DOS form, which keeps even seconds only.
    constexpr FileTime kTwoSeconds = 2 * kTicksPerSecond;
    return found && found->creationTime &&
           *found->creationTime - *found->creationTime % kTwoSeconds == creation;
}

}  // namespace

std::string FullPath(const std::string& path) {
    // Every look-up passes through here, mostly with paths that are already full.
    if (IsCleanAbsolute(path))
        return path;
    std::string joined = path;
    if (path.empty() || path[0] != '/') {
        std::unique_ptr<char, decltype(&std::free)> cwd(getcwd(nullptr, 0), &std::free);
        joined = std::string(cwd ? cwd.get() : "") + "/" + path;
    }
    // Lexical clean-up only, like Windows: "." and ".." are folded, links are not followed.
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

std::optional<FindData> FindPath(const std::string& path) {
    const std::string full = FullPath(path);
    struct statx st {};
    if (!StatPath(full, st))
        return std::nullopt;
    const StoredDosAttrib stored = ReadStoredDosAttrib(full);

    FindData data;
    data.name = LastComponent(full);
    data.attributes = AttributesOf(data.name, st, stored);
    // A directory search reports no size for a folder.
    data.size = S_ISDIR(st.stx_mode) ? 0 : st.stx_size;
    data.lastWriteTime = ToFileTime(st.stx_mtime);
    data.lastAccessTime = ToFileTime(st.stx_atime);
    if (stored.parsed && stored.parsed->creationTime) {
        data.creationTime = stored.parsed->creationTime;
    } else if ((st.stx_mask & STATX_BTIME) && st.stx_btime.tv_sec != 0) {
        data.creationTime = ToFileTime(st.stx_btime);
    }
    return data;
}

std::optional<FileTime> FileLastWriteTime(const std::string& path) {
    struct statx st {};
    if (!StatPath(path, st) || S_ISDIR(st.stx_mode))
        return std::nullopt;
    return ToFileTime(st.stx_mtime);
}

std::uint32_t GetFileAttributes(const std::string& path) {
    struct statx st {};
    if (!StatPath(path, st))
        return kInvalidAttributes;
    return AttributesOf(LastComponent(path), st, ReadStoredDosAttrib(path));
}

bool SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    struct statx st {};
    if (!StatPath(path, st))
        return false;
    const StoredDosAttrib current = ReadStoredDosAttrib(path);

    DosAttrib wanted = current.parsed.value_or(DosAttrib{});
    std::uint32_t storedBits = attributes & kStoredBits;
    // A dot name is hidden by itself; storing that bit again would only leave an attribute
    // behind on every such file.
    if (IsDotName(LastComponent(path)) && !(wanted.attributes & kAttrHidden)) {
        storedBits &= ~kAttrHidden;
    }
    // The mode is the only home of read-only; a stale copy in the attribute would mislead Samba.
    wanted.attributes = (wanted.attributes & ~(kStoredBits | kAttrReadOnly)) | storedBits;
    const bool attribChanges =
        current.parsed ? wanted.attributes != current.parsed->attributes : wanted.attributes != 0;
    const mode_t mode = st.stx_mode & 07777;
    const mode_t finalMode = ModeFor(mode, (attributes & kAttrReadOnly) != 0);
    if (!attribChanges) {
        return finalMode == mode || chmod(path.c_str(), finalMode) == 0;
    }
    // Only a writable file takes a user attribute (root aside): a read-only file is made
    // writable for the owner while its attribute is written, as the final mode allows or for
    // the moment.
    const mode_t writeMode = (mode & kWriteBits)        ? mode
                             : (finalMode & kWriteBits) ? finalMode
                                                        : mode | S_IWUSR;
    if (writeMode != mode && chmod(path.c_str(), writeMode) != 0)
        return false;
    if (!WriteDosAttrib(path, current, wanted)) {
        if (writeMode != mode)
            chmod(path.c_str(), mode);
        return false;
    }
    if (finalMode != writeMode && chmod(path.c_str(), finalMode) != 0) {
        RestoreDosAttrib(path, current);
        chmod(path.c_str(), mode);
        return false;
    }
    return true;
}

bool SetFileTimes(const std::string& path, const FileTimesToSet& times) {
    struct statx st {};
    if (!StatPath(path, st))
        return false;
    // Windows cannot open a read-only file for writing, so its times stay as they are; keep
    // that promise here too, even for root. Folders are opened for their times regardless.
    if (!S_ISDIR(st.stx_mode) && (st.stx_mode & kWriteBits) == 0)
        return false;

    const timespec values[2] = {OmitOr(times.lastAccess), OmitOr(times.lastWrite)};
    if (utimensat(AT_FDCWD, path.c_str(), values, 0) != 0)
        return false;
    return !times.creation || StoreCreationTime(path, *times.creation);
}

}  // namespace platform
