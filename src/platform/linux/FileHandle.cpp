// Opening a file once without following a link, and its look-ups, attributes and times
// through that descriptor. The content is read here; it is replaced in ReplaceContent.cpp.

#include "platform/FileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/Path.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/FileEntry.h"
#include "platform/linux/VolumeKind.h"

namespace platform {
namespace {

using namespace linux_fs;

// Whether the file already shows `creation`, as far as the DOS form that every time written
// passes through can tell (even seconds only).
bool ShowsCreationTime(const StoreReading& shown, FileTime creation) {
    constexpr FileTime kTwoSeconds = 2 * kTicksPerSecond;
    return shown.creationTime &&
           *shown.creationTime - *shown.creationTime % kTwoSeconds == creation;
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
    const TFileRef file = TFileRef::OfDescriptor(fd_, pathOnly_);
    const std::string name = LastComponent(path_);
    return MakeFindData(name, st, StoreFor(file, st).Read(file, name, st));
}

std::uint32_t TFileHandle::GetAttributes() const {
    const std::optional<FindData> found = Find();
    return found ? found->attributes : kInvalidAttributes;
}

bool TFileHandle::SetAttributes(std::uint32_t attributes, std::string& reason) {
    struct statx st {};
    if (!StatDescriptor(fd_, st))
        return FailWithErrno(reason);
    const TFileRef file = TFileRef::OfDescriptor(fd_, pathOnly_);
    return StoreFor(file, st).SetAttributes(file, LastComponent(path_), st, attributes, reason);
}

bool TFileHandle::SetTimes(const FileTimesToSet& times, std::string& reason) {
    struct statx st {};
    if (!StatDescriptor(fd_, st))
        return FailWithErrno(reason);
    const TFileRef file = TFileRef::OfDescriptor(fd_, pathOnly_);
    const TAttributeStore& store = StoreFor(file, st);
    const StoreReading shown = store.Read(file, LastComponent(path_), st);
    // Windows cannot open a read-only file for writing, so its times stay as they are; keep
    // that promise here too, even for root. Folders are opened for their times regardless.
    if (!S_ISDIR(st.stx_mode) && (shown.attributes & kAttrReadOnly))
        return Fail(reason, "the file is read-only");

    const timespec values[2] = {OmitOr(times.lastAccess), OmitOr(times.lastWrite)};
    const bool written = pathOnly_
                             ? utimensat(AT_FDCWD, DescriptorPath(fd_).c_str(), values, 0) == 0
                             : futimens(fd_, values) == 0;
    if (!written)
        return FailWithErrno(reason);
    if (!times.creation)
        return true;
    // Where the volume cannot take a creation time, writing back the one the file already
    // shows (as a run does for a time it keeps) still succeeds.
    std::string storeReason;
    return store.SetCreationTime(file, *times.creation, storeReason) ||
           ShowsCreationTime(shown, *times.creation) || Fail(reason, storeReason);
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
