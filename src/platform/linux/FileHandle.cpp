// Opening a file once without following a link, and its look-ups, attributes and times
// through that descriptor. The content is read here; it is replaced in ReplaceContent.cpp.

#include "platform/FileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "platform/Path.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/FileEntry.h"

namespace platform {
namespace {

using namespace linux_fs;

constexpr const char* kUnreadableDosAttrib = "the stored DOS attributes cannot be read";
constexpr const char* kDotNameHidden = "a name beginning with \".\" is always hidden";

// Whether the file already shows `creation`, as far as the DOS form that every time written
// passes through can tell (even seconds only).
bool ShowsCreationTime(const std::optional<FindData>& found, FileTime creation) {
    constexpr FileTime kTwoSeconds = 2 * kTicksPerSecond;
    return found && found->creationTime &&
           *found->creationTime - *found->creationTime % kTwoSeconds == creation;
}

bool Accepts(OpenKind kind, mode_t mode) {
    return S_ISREG(mode) || (kind == OpenKind::FileOrFolder && S_ISDIR(mode));
}

// The reason for the command line when a path cannot be looked up or opened.
std::string ReasonFor(int error) {
    if (error == ENOENT)
        return "no such file";
    if (error == ELOOP)  // the last component is a link (O_NOFOLLOW)
        return PassedOverReason(EntryKind::SymbolicLink);
    return SystemReason(error);
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

// Reads up to `count` bytes at `offset` into `bytes`, fewer at the end of the file.
bool ReadAt(int fd, std::size_t count, off_t offset, std::vector<std::uint8_t>& bytes,
            std::string& reason) {
    bytes.resize(count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            pread(fd, bytes.data() + done, count - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return FailWithErrno(reason);
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return true;
}

// The file's size as it is now, or false where its content cannot be read at all.
bool SizeForReading(int fd, bool pathOnly, std::uint64_t& size, std::string& reason) {
    // An O_PATH descriptor reads nothing: it was taken because the file may not be read.
    if (pathOnly)
        return Fail(reason, SystemReason(EACCES));
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return FailWithErrno(reason);
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool ChangeMode(int fd, bool pathOnly, mode_t mode) {
    if (pathOnly)
        return chmod(DescriptorPath(fd).c_str(), mode) == 0;
    return fchmod(fd, mode) == 0;
}

// Writes the attribute value `wanted` and sets `finalMode`; on failure both are as before.
bool WriteAttributes(int fd, bool pathOnly, const StoredDosAttrib& current, const DosAttrib& wanted,
                     mode_t mode, mode_t finalMode, std::string& reason) {
    const TXattrs xattrs = XattrsOf(fd, pathOnly);
    // Only a writable file takes a user attribute (root aside): a read-only file is made
    // writable for the owner while its attribute is written, as the final mode allows or for
    // the moment.
    const mode_t writeMode = (mode & kWriteBits)        ? mode
                             : (finalMode & kWriteBits) ? finalMode
                                                        : mode | S_IWUSR;
    if (writeMode != mode && !ChangeMode(fd, pathOnly, writeMode))
        return FailWithErrno(reason);
    if (!WriteDosAttrib(xattrs, current, wanted)) {
        Fail(reason, "cannot store hidden, system or archive: " + SystemReason(errno));
        if (writeMode != mode)
            ChangeMode(fd, pathOnly, mode);
        return false;
    }
    if (finalMode != writeMode && !ChangeMode(fd, pathOnly, finalMode)) {
        FailWithErrno(reason);
        RestoreDosAttrib(xattrs, current);
        ChangeMode(fd, pathOnly, mode);
        return false;
    }
    return true;
}

}  // namespace

std::optional<TFileHandle> TFileHandle::Open(const std::string& path, std::string& reason,
                                             OpenKind kind) {
    // A device is never even opened (opening one may act, as a tape rewinds) unless it is
    // swapped in after this check; the flags below and fstat then take care of it.
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        reason = ReasonFor(errno);
        return std::nullopt;
    }
    if (!Accepts(kind, st.st_mode)) {
        reason = PassedOverReason(KindOf(st.st_mode));
        return std::nullopt;
    }
    // Non-blocking and without a controlling terminal, so that a device or FIFO swapped in
    // cannot block the run or take it over.
    TDescriptor fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    bool pathOnly = false;
    if (!fd.Valid() && errno == EACCES) {
        // The caller may not read the file but may still own it, and so change its mode,
        // times and attributes. An O_PATH descriptor needs no permission on the file and,
        // opened without following a link, still pins the very file checked below: its
        // changes then go through the descriptor's name under /proc instead of the path.
        fd = TDescriptor(open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        pathOnly = true;
    }
    if (!fd.Valid() || fstat(fd.Get(), &st) != 0) {
        reason = ReasonFor(errno);
        return std::nullopt;
    }
    if (!Accepts(kind, st.st_mode)) {
        reason = PassedOverReason(KindOf(st.st_mode));
        return std::nullopt;
    }
    return TFileHandle(fd.Release(), pathOnly, path);
}

TFileHandle::TFileHandle(TFileHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      pathOnly_(other.pathOnly_),
      path_(std::move(other.path_)) {}

TFileHandle& TFileHandle::operator=(TFileHandle&& other) noexcept {
    std::swap(fd_, other.fd_);
    std::swap(pathOnly_, other.pathOnly_);
    std::swap(path_, other.path_);
    return *this;
}

TFileHandle::~TFileHandle() {
    if (fd_ >= 0)
        close(fd_);
}

std::optional<FindData> TFileHandle::Find() const {
    struct statx st {};
    if (!StatDescriptor(fd_, st))
        return std::nullopt;
    return MakeFindData(LastComponent(path_), st, ReadStoredDosAttrib(XattrsOf(fd_, pathOnly_)));
}

std::uint32_t TFileHandle::GetAttributes() const {
    const std::optional<FindData> found = Find();
    return found ? found->attributes : kInvalidAttributes;
}

bool TFileHandle::SetAttributes(std::uint32_t attributes, std::string& reason) {
    struct statx st {};
    if (!StatDescriptor(fd_, st))
        return FailWithErrno(reason);
    const StoredDosAttrib current = ReadStoredDosAttrib(XattrsOf(fd_, pathOnly_));
    const bool dotName = IsDotName(LastComponent(path_));

    DosAttrib wanted = current.value;
    std::uint32_t storedBits = attributes & kStoredBits;
    // A dot name is hidden by itself; storing that bit again would only leave an attribute
    // behind on every such file.
    if (dotName && !(wanted.attributes & kAttrHidden))
        storedBits &= ~kAttrHidden;
    // The mode is the only home of read-only; a stale copy in the attribute would mislead Samba.
    wanted.attributes = (wanted.attributes & ~(kStoredBits | kAttrReadOnly)) | storedBits;
    bool attribChanges = wanted.attributes != current.value.attributes;
    if (!current.readable) {
        if (storedBits != (current.value.attributes & kStoredBits))
            return Fail(reason, kUnreadableDosAttrib);
        attribChanges = false;  // only the mode changes; the value stays as it is
    }
    const mode_t mode = st.stx_mode & 07777;
    const mode_t finalMode = ModeFor(mode, (attributes & kAttrReadOnly) != 0);
    if (!attribChanges && finalMode != mode && !ChangeMode(fd_, pathOnly_, finalMode))
        return FailWithErrno(reason);
    if (attribChanges &&
        !WriteAttributes(fd_, pathOnly_, current, wanted, mode, finalMode, reason)) {
        return false;
    }
    // The other bits are set as asked; only the name could make the file visible again.
    if (dotName && !(attributes & kAttrHidden))
        return Fail(reason, kDotNameHidden);
    return true;
}

bool TFileHandle::SetTimes(const FileTimesToSet& times, std::string& reason) {
    struct statx st {};
    if (!StatDescriptor(fd_, st))
        return FailWithErrno(reason);
    // Windows cannot open a read-only file for writing, so its times stay as they are; keep
    // that promise here too, even for root. Folders are opened for their times regardless.
    if (!S_ISDIR(st.stx_mode) && (st.stx_mode & kWriteBits) == 0)
        return Fail(reason, "the file is read-only");

    const timespec values[2] = {OmitOr(times.lastAccess), OmitOr(times.lastWrite)};
    const bool written = pathOnly_
                             ? utimensat(AT_FDCWD, DescriptorPath(fd_).c_str(), values, 0) == 0
                             : futimens(fd_, values) == 0;
    if (!written)
        return FailWithErrno(reason);
    return !times.creation || StoreCreationTime(*times.creation, reason);
}

// Stores a creation time in the attribute. Where the file system keeps no user attributes
// the creation time cannot change at all; writing back the time it already has (as a run does
// for a time it keeps) then still succeeds.
bool TFileHandle::StoreCreationTime(FileTime creation, std::string& reason) const {
    const TXattrs xattrs = XattrsOf(fd_, pathOnly_);
    const StoredDosAttrib current = ReadStoredDosAttrib(xattrs);
    if (!current.readable)
        return ShowsCreationTime(Find(), creation) || Fail(reason, kUnreadableDosAttrib);
    DosAttrib wanted = current.value;
    wanted.creationTime = creation;
    if (WriteDosAttrib(xattrs, current, wanted))
        return true;
    const int error = errno;
    if ((error == ENOTSUP || error == EOPNOTSUPP) && ShowsCreationTime(Find(), creation))
        return true;
    return Fail(reason, "cannot store the creation time: " + SystemReason(error));
}

bool TFileHandle::ReadPrefix(std::size_t count, std::vector<std::uint8_t>& bytes,
                             std::string& reason) const {
    std::uint64_t size = 0;
    // A caller asking for "as much as there is" gets no more memory than the file fills.
    return SizeForReading(fd_, pathOnly_, size, reason) &&
           ReadAt(fd_, std::min<std::uint64_t>(count, size), 0, bytes, reason);
}

bool TFileHandle::ReadTail(std::size_t count, std::vector<std::uint8_t>& bytes,
                           std::string& reason) const {
    std::uint64_t size = 0;
    if (!SizeForReading(fd_, pathOnly_, size, reason))
        return false;
    if (size < count)
        return Fail(reason, "the file is too short");
    if (!ReadAt(fd_, count, static_cast<off_t>(size - count), bytes, reason))
        return false;
    // A file cut short while it was read has no tail of that length left.
    return bytes.size() == count || Fail(reason, "the file is too short");
}

bool TFileHandle::ReadAll(std::vector<std::uint8_t>& bytes, std::string& reason) const {
    if (pathOnly_)
        return Fail(reason, SystemReason(EACCES));
    return ReadWhole(fd_, bytes) || FailWithErrno(reason);
}

}  // namespace platform
