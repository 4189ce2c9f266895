// Opening a file once without following a link, and its look-ups, attributes and times
// through that descriptor. The content is read here; it is replaced in ReplaceContent.cpp.

#include "platform/FileHandle.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/Path.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/FileEntry.h"
#include "platform/linux/FileHandleState.h"
#include "platform/linux/FolderOpen.h"
#include "platform/linux/VolumeKind.h"

namespace platform {
namespace {

using namespace linux_fs;

// Whether the file already shows `creation`, as far as the DOS form that every time written
// passes through can tell (even seconds only).
bool ShowsCreationTime(const FindData& shown, FileTime creation) {
    constexpr FileTime kTwoSeconds = 2 * kTicksPerSecond;
    return shown.creationTime &&
           *shown.creationTime - *shown.creationTime % kTwoSeconds == creation;
}

// Windows cannot open a read-only file for writing, so its times stay as they are; that promise
// is kept here too, even for root. Folders are opened for their times regardless.
Result TimesWritable(EntryKind kind, std::uint32_t attributes) {
    if (kind != EntryKind::Folder && (attributes & kAttrReadOnly))
        return Result::Failed("the file is read-only");
    return Result::Done();
}

// FAT and exFAT keep their times in the DOS form, local time from 1980 to 2107: a time beyond
// would be stored as another one.
Result TimesStorable(StoreKind kind, const FileTimesToSet& times) {
    constexpr int kLastFatYear = 2107;
    if (kind != StoreKind::Fat && kind != StoreKind::Exfat)
        return Result::Done();
    for (const std::optional<FileTime>& time :
         {times.creation, times.lastWrite, times.lastAccess}) {
        SystemTime local;
        if (time && (!FileTimeToLocalSystemTime(*time, local) || local.year < kFirstDosYear ||
                     local.year > kLastFatYear)) {
            return Result::Failed("the volume cannot store a time before 1980 or after 2107");
        }
    }
    return Result::Done();
}

// What a handle that only looks answers a change: it holds no descriptor to make one through.
Result LookOnly() {
    return Result::Failed(SystemReason(EBADF));
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

// Whether the volume keeps the two Linux times `values` (as utimensat takes them) exactly as
// written, so that they need not be read back: the file systems below keep them to the
// nanosecond, or (ext4 with small inodes, xfs without big timestamps) to the second from 1901
// to 2038. Elsewhere times are rounded (FAT to two seconds, its access time to the day) or the
// rules are the server's.
bool KeepsExactly(const std::string& fileSystem, const timespec (&values)[2]) {
    constexpr const char* kExactFileSystems[] = {"ext4", "xfs", "btrfs", "tmpfs"};
    const auto wholeSecond = [](const timespec& time) {
        return time.tv_nsec == UTIME_OMIT ||
               (time.tv_nsec == 0 && time.tv_sec >= 0 && time.tv_sec <= INT32_MAX);
    };
    return std::any_of(std::begin(kExactFileSystems), std::end(kExactFileSystems),
                       [&](const char* name) { return fileSystem == name; }) &&
           wholeSecond(values[0]) && wholeSecond(values[1]);
}

void SetStatxTime(statx_timestamp& target, const timespec& time) {
    if (time.tv_nsec == UTIME_OMIT)
        return;
    target.tv_sec = time.tv_sec;
    target.tv_nsec = static_cast<std::uint32_t>(time.tv_nsec);
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
                                             OpenKind kind, OpenCheck check,
                                             TOpenFolders* folders) {
    const std::optional<TOpenFolders::THeld> held =
        folders ? std::make_optional(folders->Holding(path)) : std::nullopt;
    if (held && held->Error() != 0) {
        reason = FolderReason(held->Error());
        return std::nullopt;
    }
    const int folderFd = held ? held->Fd() : -1;
    const int at = folderFd >= 0 ? folderFd : AT_FDCWD;
    const std::string name = folderFd >= 0 ? LastComponent(path) : path;
    // A device is never even opened (opening one may act, as a tape rewinds) unless it is
    // swapped in after this check, or after the caller's own; the flags below and the
    // descriptor's look-up then take care of it.
    if (check == OpenCheck::LookUpFirst) {
        struct stat st {};
        if (fstatat(at, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            reason = ReasonFor(errno);
            return std::nullopt;
        }
        if (!Accepts(kind, st.st_mode)) {
            reason = PassedOverReason(KindOf(st.st_mode));
            return std::nullopt;
        }
    }
    // Non-blocking and without a controlling terminal, so that a device or FIFO swapped in
    // cannot block the run or take it over. Reading a file to learn what it holds (a tag, a
    // GIF's blocks) leaves its last-access time alone, where the caller owns the file.
    constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    TDescriptor fd(openat(at, name.c_str(), kFlags | O_NOATIME));
    if (!fd.Valid() && errno == EPERM)
        fd = TDescriptor(openat(at, name.c_str(), kFlags));
    bool pathOnly = false;
    if (!fd.Valid() && errno == EACCES) {
        // The caller may not read the file but may still own it, and so change its mode,
        // times and attributes. An O_PATH descriptor needs no permission on the file and,
        // opened without following a link, still pins the very file checked below: its
        // changes then go through the descriptor's name under /proc instead of the path.
        fd = TDescriptor(openat(at, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        pathOnly = true;
    }
    // What replaced the file the caller found is told by a look-up of its own.
    if (!fd.Valid() && check == OpenCheck::FoundAsFile)
        return Open(path, reason, kind, OpenCheck::LookUpFirst, folders);
    // The descriptor's own look-up both checks what was opened and serves the run. The check
    // above has just brought a network or FUSE volume's cache up to date: asking the server
    // again would cost a round trip per file and tell nothing new. The caller's look-up may
    // be minutes old by now, so without the check the volume is asked as stat would.
    const int sync = check == OpenCheck::LookUpFirst ? AT_STATX_DONT_SYNC : AT_STATX_SYNC_AS_STAT;
    struct statx opened {};
    if (!fd.Valid() || !StatDescriptor(fd.Get(), opened, sync)) {
        reason = ReasonFor(errno);
        return std::nullopt;
    }
    if (!Accepts(kind, opened.stx_mode)) {
        reason = PassedOverReason(KindOf(opened.stx_mode));
        return std::nullopt;
    }
    const FileIdentity identity{makedev(opened.stx_dev_major, opened.stx_dev_minor),
                                opened.stx_ino};
    return TFileHandle(std::make_unique<State>(fd.Release(), pathOnly, opened), path, identity);
}

std::size_t TFileHandle::MakeRoomFor(std::size_t count) {
    // Desktops start programs with a soft limit of 1,024 open files and a hard one far higher.
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < count &&
        limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = std::min<rlim_t>(count, limit.rlim_max);
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    const std::size_t room =
        limit.rlim_cur == RLIM_INFINITY ? count : std::min<std::size_t>(count, limit.rlim_cur);
    // The table grows to hold the highest descriptor made, and never shrinks.
    const int highest = static_cast<int>(std::min<std::size_t>(room, 1 << 16)) - 1;
    if (highest > 0 && fcntl(highest, F_GETFD) == -1 && errno == EBADF &&
        dup2(STDERR_FILENO, highest) == highest) {
        close(highest);
    }
    return room;
}

std::optional<TFileHandle> TFileHandle::Look(const std::string& path, std::string& reason,
                                             TOpenFolders& folders) {
    TOpenFolders::THeld held = folders.Holding(path);
    if (held.Error() != 0) {
        reason = FolderReason(held.Error());
        return std::nullopt;
    }
    const int at = held.Fd() >= 0 ? held.Fd() : AT_FDCWD;
    const std::string name = held.Fd() >= 0 ? LastComponent(path) : path;
    struct statx found {};
    if (statx(at, name.c_str(), AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT, kStatxMask, &found) !=
        0) {
        reason = ReasonFor(errno);
        return std::nullopt;
    }
    if (!Accepts(OpenKind::File, found.stx_mode)) {
        reason = PassedOverReason(KindOf(found.stx_mode));
        return std::nullopt;
    }
    const FileIdentity identity{makedev(found.stx_dev_major, found.stx_dev_minor), found.stx_ino};
    return TFileHandle(std::make_unique<State>(std::move(held), found), path, identity);
}

TFileHandle::TFileHandle(std::unique_ptr<State> state, std::string path, FileIdentity identity)
    : state_(std::move(state)), path_(std::move(path)), identity_(identity) {}

TFileHandle::TFileHandle(TFileHandle&& other) noexcept = default;
TFileHandle& TFileHandle::operator=(TFileHandle&& other) noexcept = default;
TFileHandle::~TFileHandle() = default;

void TFileHandle::Renamed(const std::string& newPath) {
    path_ = newPath;
    // A name beginning with "." hides a file by itself.
    state_->known.reset();
    state_->attributes.reset();
}

bool TFileHandle::Stat() const {
    state_->statKnown = state_->statKnown || StatDescriptor(state_->fd, state_->st);
    return state_->statKnown;
}

void TFileHandle::Forget() const {
    state_->statKnown = false;
    state_->known.reset();
    state_->attributes.reset();
    state_->xattrs.Clear();
}

std::optional<FindData> TFileHandle::Find() const {
    if (state_->known && !state_->timesStale)
        return state_->known;
    if (!Stat())
        return std::nullopt;
    if (state_->known) {
        const FindData times = MakeFindData(state_->known->name, state_->st, {});
        state_->known->size = times.size;
        state_->known->lastWriteTime = times.lastWriteTime;
        state_->known->lastAccessTime = times.lastAccessTime;
    } else {
        const TFileRef file = state_->Ref(path_);
        const std::string name = LastComponent(path_);
        state_->known =
            MakeFindData(name, state_->st, StoreFor(file, state_->st).Read(file, name, state_->st));
    }
    state_->timesStale = false;
    return state_->known;
}

std::uint32_t TFileHandle::GetAttributes() const {
    // A change of times leaves the attributes as they were.
    if (state_->known)
        return state_->known->attributes;
    if (!state_->attributes) {
        if (!Stat())
            return kInvalidAttributes;
        const TFileRef file = state_->Ref(path_);
        state_->attributes = ShownAttributes(
            StoreFor(file, state_->st).ReadAttributes(file, LastComponent(path_), state_->st),
            state_->st);
    }
    return *state_->attributes;
}

Result TFileHandle::SetAttributes(std::uint32_t attributes) {
    if (state_->folder)
        return LookOnly();
    // Known before the change, so that the change tells what the file shows after it.
    const std::uint32_t before = GetAttributes();
    if (before == kInvalidAttributes || !Stat())
        return FailedWithErrno();
    const TFileRef file = state_->Ref(path_);
    std::string reason;
    const bool set = StoreFor(file, state_->st)
                         .SetAttributes(file, LastComponent(path_), state_->st, attributes, reason);
    // The mode may have changed; of the look-up only the bits asked for did, and exactly as
    // asked, unless the change failed somewhere.
    if (!set) {
        Forget();
        return Result::Failed(reason);
    }
    state_->statKnown = false;
    state_->attributes = MergeAttributes(before, attributes);
    if (state_->known)
        state_->known->attributes = *state_->attributes;
    return Result::Done();
}

Result TFileHandle::CheckAttributes(std::uint32_t attributes) const {
    if (!Stat())
        return FailedWithErrno();
    const TFileRef file = state_->Ref(path_);
    const std::string refusal =
        StoreFor(file, state_->st)
            .AttributesRefusal(file, LastComponent(path_), state_->st, attributes);
    return refusal.empty() ? Result::Done() : Result::Failed(refusal);
}

Result TFileHandle::CheckTimes(const FileTimesToSet& times, std::uint32_t attributes) const {
    const std::optional<FindData> shown = Find();
    if (!shown)
        return FailedWithErrno();
    if (Result writable = TimesWritable(shown->kind, attributes); !writable)
        return writable;
    const TFileRef file = state_->Ref(path_);
    const VolumeStore volume = VolumeStoreOf(file, state_->st);
    if (Result storable = TimesStorable(volume.kind, times); !storable)
        return storable;
    if (!times.creation || ShowsCreationTime(*shown, *times.creation))
        return Result::Done();
    const std::string refusal = StoreOf(volume.kind).CreationTimeRefusal(file);
    return refusal.empty() ? Result::Done() : Result::Failed(refusal);
}

Result TFileHandle::SetTimes(const FileTimesToSet& times) {
    if (state_->folder)
        return LookOnly();
    const std::optional<FindData> shown = Find();
    if (!shown)
        return FailedWithErrno();
    if (Result writable = TimesWritable(shown->kind, shown->attributes); !writable)
        return writable;

    // The device, all that chooses the store, is the descriptor's whatever else changed.
    const TFileRef file = state_->Ref(path_);
    const VolumeStore volume = VolumeStoreOf(file, state_->st);
    if (Result storable = TimesStorable(volume.kind, times); !storable)
        return storable;
    const TAttributeStore& store = StoreOf(volume.kind);
    const timespec values[2] = {OmitOr(times.lastAccess), OmitOr(times.lastWrite)};
    const bool written =
        state_->pathOnly ? utimensat(AT_FDCWD, DescriptorPath(state_->fd).c_str(), values, 0) == 0
                         : futimens(state_->fd, values) == 0;
    if (!written) {
        Forget();
        return FailedWithErrno();
    }
    if (KeepsExactly(volume.fileSystem, values)) {
        // What was written is what the file shows; the statx kept follows it, for a look-up
        // made from it after a rename.
        SetStatxTime(state_->st.stx_atime, values[0]);
        SetStatxTime(state_->st.stx_mtime, values[1]);
        state_->known->lastAccessTime = times.lastAccess.value_or(state_->known->lastAccessTime);
        state_->known->lastWriteTime = times.lastWrite.value_or(state_->known->lastWriteTime);
    } else {
        // The file system keeps the two times at its own precision: they are read back.
        state_->statKnown = false;
        state_->timesStale = true;
    }
    if (!times.creation)
        return Result::Done();
    // Where the volume cannot take a creation time, writing back the one the file already
    // shows (as a run does for a time it keeps) still succeeds.
    std::string storeReason;
    if (store.SetCreationTime(file, *times.creation, storeReason)) {
        state_->known->creationTime = *times.creation;
        return Result::Done();
    }
    return ShowsCreationTime(*shown, *times.creation) ? Result::Done()
                                                      : Result::Failed(storeReason);
}

Result TFileHandle::LockForChange() {
    if (state_->folder)
        return LookOnly();
    if (state_->pathOnly || flock(state_->fd, LOCK_EX | LOCK_NB) == 0)
        return Result::Done();
    if (errno != EWOULDBLOCK)
        return Result::Done();
    // Another run is changing the file: whatever was read of it may be stale once it is done.
    Forget();
    constexpr auto kPatience = std::chrono::seconds(10);
    constexpr auto kPause = std::chrono::milliseconds(5);
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(kPause);
        if (flock(state_->fd, LOCK_EX | LOCK_NB) != 0)
            continue;
        // The other run may have put a new file in this one's place (a rewrite): this
        // descriptor then holds a file nobody will see again.
        struct stat named {};
        if (!Stat() || state_->st.stx_nlink == 0 ||
            fstatat(AT_FDCWD, path_.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            FileIdentity{named.st_dev, named.st_ino} != identity_) {
            return Result::Failed("another program replaced the file meanwhile");
        }
        return Result::Done();
    }
    return Result::Failed("the file is in use by another program");
}

Result TFileHandle::ReadPrefix(std::size_t count, std::vector<std::uint8_t>& bytes) const {
    std::uint64_t size = 0;
    std::string reason;
    // A caller asking for "as much as there is" gets no more memory than the file fills.
    const bool read = SizeForReading(state_->fd, state_->pathOnly, size, reason) &&
                      ReadAt(state_->fd, std::min<std::uint64_t>(count, size), 0, bytes, reason);
    return ResultOf(read, reason);
}

Result TFileHandle::ReadTail(std::size_t count, std::vector<std::uint8_t>& bytes) const {
    std::uint64_t size = 0;
    std::string reason;
    if (!SizeForReading(state_->fd, state_->pathOnly, size, reason))
        return Result::Failed(reason);
    if (size < count)
        return Result::Failed("the file is too short");
    if (!ReadAt(state_->fd, count, static_cast<off_t>(size - count), bytes, reason))
        return Result::Failed(reason);
    // A file cut short while it was read has no tail of that length left.
    return bytes.size() == count ? Result::Done() : Result::Failed("the file is too short");
}

Result TFileHandle::ReadAll(std::vector<std::uint8_t>& bytes) const {
    if (state_->pathOnly)
        return Result::Failed(SystemReason(EACCES));
    return ReadWhole(state_->fd, bytes) ? Result::Done() : FailedWithErrno();
}

}  // namespace platform
