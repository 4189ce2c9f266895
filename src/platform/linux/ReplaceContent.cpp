// Replacing a file's whole content so that a crash, a kill or a full disk at any moment
// leaves it wholly old or wholly new, with what the user sees of it kept.
//
// A file with one name gets a new file beside it, written, synced and given the old one's
// owner, mode, extended attributes and creation time, which then takes the old name in one
// rename. A file with several hard links must stay the one file they share, so it is written
// in place, its old bytes kept in a copy until the new ones are synced, with signals held
// off meanwhile; the same happens where the metadata cannot be given to a new file (another
// owner, an attribute the caller may not set, no right to create files in the folder, a volume
// that keeps the Windows attributes with the file itself).

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <mutex>

#include "platform/FileHandle.h"
#include "platform/Path.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/FileEntry.h"
#include "platform/linux/FileHandleState.h"
#include "platform/linux/FolderOpen.h"
#include "platform/linux/RewriteRecord.h"
#include "platform/linux/SiblingFile.h"
#include "platform/linux/SignalsHeld.h"
#include "platform/linux/VolumeKind.h"

namespace platform {
namespace {

using namespace linux_fs;

// A file size limit (ulimit -f) then makes a write fail with EFBIG, instead of ending the
// program in the middle of one. A handler the program installed itself is left alone.
void IgnoreFileSizeSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            signal(SIGXFSZ, SIG_IGN);
    });
}

// Whether `name` in `folder` is still the file described by `st`, not one put in its place.
bool IsStillNamed(int folder, const std::string& name, const struct statx& st) {
    struct stat now {};
    return fstatat(folder, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
           now.st_dev == makedev(st.stx_dev_major, st.stx_dev_minor) && now.st_ino == st.stx_ino;
}

enum class Outcome { Replaced, Failed, InPlace };

// An error while giving the new file what the old one has: where it means this cannot be
// done here (permission, a file system that will not take an attribute), writing in place
// keeps it all; anything else (a full disk) fails the replacement.
Outcome AfterError(int error, std::string& reason) {
    if (error == EPERM || error == EACCES || error == ENOTSUP || error == EOPNOTSUPP ||
        error == EINVAL) {
        return Outcome::InPlace;
    }
    Fail(reason, SystemReason(error));
    return Outcome::Failed;
}

// Every extended attribute of `from` (user attributes, ACLs, security labels) onto `to`.
bool CopyXattrs(const TXattrs& from, const TXattrs& to) {
    const std::optional<std::vector<std::string>> names = from.Names();
    if (!names)
        return false;
    for (const std::string& name : *names) {
        const std::optional<std::string> value = from.Get(name.c_str());
        if (!value && errno == ENODATA)
            continue;  // removed since it was listed
        if (!value || !to.Set(name.c_str(), *value))
            return false;
    }
    return true;
}

// A new file is born now; where the old file shows its birth time as its creation time, that
// time is stored with the attributes of the new one, as a creation time set by the user is.
Outcome KeepCreationTime(const TXattrs& from, const struct statx& st, const TXattrs& to,
                         std::string& reason) {
    const StoredDosAttrib stored = ReadStoredDosAttrib(from);
    const bool showsBirthTime =
        !stored.value.creationTime && (st.stx_mask & STATX_BTIME) && st.stx_btime.tv_sec != 0;
    if (!showsBirthTime)
        return Outcome::Replaced;
    if (!stored.readable)
        return Outcome::InPlace;  // a value we cannot read is not rewritten, even on a copy
    DosAttrib wanted = stored.value;
    wanted.creationTime = ToFileTime(st.stx_btime);
    return to.Set(kDosAttribName, EncodeDosAttrib(wanted)) ? Outcome::Replaced
                                                           : AfterError(errno, reason);
}

// The inode flags a user sets with chattr (no dump, no access time, synchronous writes,
// compression, no copy-on-write, ...), given to the new file before its data: some take effect
// only on an empty file. Immutable and append-only are not among them: a file that has either
// cannot be replaced at all. Where the new file will not take them, writing in place keeps them.
Outcome KeepFlags(int from, int to) {
    constexpr int kUserFlags = FS_SECRM_FL | FS_UNRM_FL | FS_COMPR_FL | FS_SYNC_FL | FS_NODUMP_FL |
                               FS_NOATIME_FL | FS_NOCOMP_FL | FS_NOCOW_FL | FS_JOURNAL_DATA_FL |
                               FS_NOTAIL_FL;
    int old = 0;
    int fresh = 0;
    if (ioctl(from, FS_IOC_GETFLAGS, &old) != 0)
        return Outcome::Replaced;  // a file system without such flags
    if (ioctl(to, FS_IOC_GETFLAGS, &fresh) != 0)
        return Outcome::InPlace;
    const int wanted = (fresh & ~kUserFlags) | (old & kUserFlags);
    if (wanted == fresh)
        return Outcome::Replaced;
    int now = 0;
    if (ioctl(to, FS_IOC_SETFLAGS, &wanted) != 0 || ioctl(to, FS_IOC_GETFLAGS, &now) != 0 ||
        (now & kUserFlags) != (old & kUserFlags)) {
        return Outcome::InPlace;
    }
    return Outcome::Replaced;
}

// Owner before the attributes: a change of owner drops file capabilities.
Outcome KeepOwner(int fd, const struct statx& st, std::string& reason) {
    struct stat now {};
    if (fstat(fd, &now) != 0)
        return AfterError(errno, reason);
    if ((now.st_uid != st.stx_uid || now.st_gid != st.stx_gid) &&
        fchown(fd, st.stx_uid, st.stx_gid) != 0) {
        return AfterError(errno, reason);
    }
    return Outcome::Replaced;
}

// Mode last: the ACL copied before it sets the group bits, which the mode then puts back as
// the old file had them.
Outcome KeepMode(int fd, const struct statx& st, std::string& reason) {
    const mode_t mode = st.stx_mode & 07777;
    if (fchmod(fd, mode) != 0)
        return AfterError(errno, reason);
    // The system drops the set-group-ID bit for a group the caller is not in.
    struct stat now {};
    if (fstat(fd, &now) != 0 || (now.st_mode & 07777) != mode)
        return Outcome::InPlace;
    return Outcome::Replaced;
}

// Keeps the content of the file open as `fd` at `keepAs` (see ReplaceContent), durably: a hard
// link where `link` (the file is about to be replaced by a new one, so the link alone keeps the
// old bytes), otherwise or where the link cannot be made, a copy of `old` (read from `fd` when
// not given).
bool KeepOldContent(int fd, const std::string& keepAs, bool link,
                    const std::vector<std::uint8_t>* old, std::string& reason) {
    const auto failed = [&](int error) {
        return Fail(reason, "cannot keep the old content for an undo: " + SystemReason(error));
    };
    const TDescriptor folder(open(FolderOf(keepAs).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid())
        return failed(errno);
    const std::string name = LastComponent(keepAs);
    const bool kept = link && linkat(AT_FDCWD, DescriptorPath(fd).c_str(), folder.Get(),
                                     name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    if (!kept) {
        std::vector<std::uint8_t> read;
        if (!old && !ReadWhole(fd, read))
            return failed(errno);
        const TDescriptor copy(
            openat(folder.Get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!copy.Valid() || !WriteAllAt(copy.Get(), old ? *old : read, 0) ||
            fsync(copy.Get()) != 0) {
            const int error = errno;
            unlinkat(folder.Get(), name.c_str(), 0);
            return failed(error);
        }
    }
    return fsync(folder.Get()) == 0 || failed(errno);
}

enum class Made { File, NoRecord, NoFile };

// A new file in `folder`, the record that names it made first, so that a kill at any moment
// leaves no file of ours that no record names. On NoFile, errno tells why.
Made MakeRecordedFile(int folder, RewriteFacts& facts, std::optional<TRewriteRecord>& record,
                      std::optional<TSiblingFile>& file, std::string& reason) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        facts.sideName = TSiblingFile::NewName();
        record = TRewriteRecord::Begin(facts, reason);
        if (!record)
            return Made::NoRecord;
        file.emplace(folder, facts.sideName);
        if (file->Valid())
            return Made::File;
        const int error = errno;
        record.reset();
        errno = error;
        if (error != EEXIST)
            break;
    }
    return Made::NoFile;
}

Outcome ReplaceByRename(int folder, const RewriteFacts& file, int source, const struct statx& st,
                        std::span<const std::uint8_t> bytes, const std::string& keepOldAs,
                        TDescriptor& replacement, std::string& reason) {
    RewriteFacts facts = file;
    facts.kind = RewriteKind::ByRename;
    facts.sideFolder = file.fileFolder;
    // Declared first, so that the record goes after the new file it names. Only a leftover file
    // is at stake here, never the user's: without a record the rewrite goes on all the same.
    std::optional<TRewriteRecord> record;
    std::optional<TSiblingFile> made;
    std::string recordReason;
    const Made outcome = MakeRecordedFile(folder, facts, record, made, recordReason);
    if (outcome == Made::NoRecord)
        made.emplace(folder);
    if (outcome == Made::NoFile || !made->Valid())
        return AfterError(errno, reason);
    TSiblingFile& temporary = *made;
    const TXattrs target = TXattrs::OfDescriptor(temporary.Fd());
    Outcome step = KeepFlags(source, temporary.Fd());
    if (step != Outcome::Replaced)
        return step;
    // The data before the metadata: a write by the caller drops file capabilities.
    if (!WriteAllAt(temporary.Fd(), bytes, 0)) {
        Fail(reason, SystemReason(errno));
        return Outcome::Failed;
    }
    step = KeepOwner(temporary.Fd(), st, reason);
    if (step == Outcome::Replaced && !CopyXattrs(TXattrs::OfDescriptor(source), target))
        step = AfterError(errno, reason);
    if (step == Outcome::Replaced)
        step = KeepCreationTime(TXattrs::OfDescriptor(source), st, target, reason);
    if (step == Outcome::Replaced)
        step = KeepMode(temporary.Fd(), st, reason);
    if (step != Outcome::Replaced)
        return step;
    if (fsync(temporary.Fd()) != 0) {
        Fail(reason, SystemReason(errno));
        return Outcome::Failed;
    }
    // Locked before it takes the name, so that another run waiting for the file finds the new
    // one still held by this run, not an unlocked file.
    flock(temporary.Fd(), LOCK_EX);
    if (!IsStillNamed(folder, file.fileName, st)) {
        Fail(reason, "the file was moved or replaced while it was rewritten");
        return Outcome::Failed;
    }
    if (!keepOldAs.empty() && !KeepOldContent(source, keepOldAs, true, nullptr, reason))
        return Outcome::Failed;
    if (renameat(folder, temporary.Name().c_str(), folder, file.fileName.c_str()) != 0) {
        Fail(reason, SystemReason(errno));
        return Outcome::Failed;
    }
    replacement = temporary.Keep();
    // The rename is done and the file wholly new; a folder that cannot be synced (one the
    // caller may not list) only leaves the new name's durability to the system.
    fsync(folder);
    return Outcome::Replaced;
}

// Where the copy of the old bytes goes: beside the file, or, where its folder takes no new file,
// in the program's own state folder. `kept` holds that folder open for as long as the copy.
// The copy goes beside the file or, where its folder takes no new file, into the program's own
// state folder, which `kept` then holds open for as long as the copy.
bool MakeCopy(int folder, RewriteFacts& facts, std::optional<TRewriteRecord>& record,
              std::optional<TSiblingFile>& copy, TDescriptor& kept, std::string& reason) {
    facts.sideFolder = facts.fileFolder;
    Made made = folder >= 0 ? MakeRecordedFile(folder, facts, record, copy, reason) : Made::NoFile;
    if (made == Made::NoFile && (folder < 0 || errno == EACCES || errno == EPERM)) {
        facts.sideFolder = KeptCopyFolder();
        if (facts.sideFolder.empty() || !CreateFolders(facts.sideFolder))
            return Fail(reason, "no place to keep the old content while the file is rewritten");
        kept = OpenFolder(facts.sideFolder);
        made = MakeRecordedFile(kept.Get(), facts, record, copy, reason);
    }
    return made == Made::File || (made == Made::NoFile && FailWithErrno(reason));
}

// Writes in place through `fd` (open for reading and writing). The old bytes are first kept in a
// synced copy, and a synced record says where, so that a kill at any moment (SIGKILL included,
// which nothing holds off) can be mended by the next run; on a failure here the old bytes are put
// back at once, which needs no new space.
bool ReplaceInPlace(int fd, int folder, const RewriteFacts& file,
                    std::span<const std::uint8_t> bytes, const std::string& keepOldAs,
                    std::string& reason) {
    std::vector<std::uint8_t> old;
    if (!ReadWhole(fd, old))
        return FailWithErrno(reason);
    if (!keepOldAs.empty() && !KeepOldContent(fd, keepOldAs, false, &old, reason))
        return false;
    // Declared in this order so that the copy goes before the record that names it.
    TDescriptor keptFolder;
    std::optional<TRewriteRecord> record;
    std::optional<TSiblingFile> copy;
    RewriteFacts facts = file;
    facts.kind = RewriteKind::InPlace;
    facts.oldSize = old.size();
    facts.oldDigest = ContentDigest(old);
    facts.newSize = bytes.size();
    facts.newDigest = ContentDigest(bytes);
    if (!MakeCopy(folder, facts, record, copy, keptFolder, reason))
        return false;
    if (!WriteAllAt(copy->Fd(), old, 0) || fsync(copy->Fd()) != 0)
        return FailWithErrno(reason);
    // The copy's name is synced too, so that after a power cut the record finds it. A folder the
    // caller may not list is held only to look names up in, and cannot be synced (EBADF).
    const int copyFolder = keptFolder.Valid() ? keptFolder.Get() : folder;
    if (fsync(copyFolder) != 0 && errno != EBADF)
        return FailWithErrno(reason);
    if (WriteAllAt(fd, bytes, 0) && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
        fsync(fd) == 0) {
        return true;
    }
    const int error = errno;
    if (WriteAllAt(fd, old, 0) && ftruncate(fd, static_cast<off_t>(old.size())) == 0 &&
        fsync(fd) == 0) {
        return Fail(reason, SystemReason(error));
    }
    // Left for the next run, which puts the old bytes back from the copy.
    copy->Keep();
    record->Keep();
    return Fail(reason, SystemReason(error) + "; the old content is kept in " + facts.sideFolder +
                            kPathSeparator + facts.sideName);
}

}  // namespace

Result TFileHandle::ReplaceContent(std::span<const std::uint8_t> bytes,
                                   const std::string& keepOldAs) {
    // Whatever happens below, the file is looked at afresh afterwards.
    Forget();
    struct statx st {};
    if (!StatDescriptor(state_->fd, st))
        return FailedWithErrno();
    if (!S_ISREG(st.stx_mode))
        return Result::Failed(PassedOverReason(KindOf(st.stx_mode)));
    const TFileRef file = TFileRef::OfDescriptor(state_->fd, state_->pathOnly);
    const VolumeStore volume = VolumeStoreOf(file, st);
    // Windows cannot open a read-only file for writing; keep that promise even for root.
    if (StoreOf(volume.kind).Read(file, LastComponent(path_), st).attributes & kAttrReadOnly)
        return Result::Failed("the file is read-only");
    IgnoreFileSizeSignal();
    // Opened again through the descriptor, not the path: this proves that the caller may write
    // this very file, whichever way it is then replaced.
    TDescriptor writable(open(DescriptorPath(state_->fd).c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!writable.Valid())
        return FailedWithErrno();
    RewriteFacts rewritten;
    rewritten.fileFolder = FullPath(FolderOf(path_));
    // Opened as the file was, without following a link: a folder swapped for one since would
    // take the new file or the copy of the old bytes somewhere else.
    TDescriptor folder(OpenFolderWithoutLinks(rewritten.fileFolder, FolderUse::List));
    if (!folder.Valid() && errno == EACCES)
        folder = TDescriptor(OpenFolderWithoutLinks(rewritten.fileFolder, FolderUse::LookUp));
    if (!folder.Valid() && (errno == ELOOP || errno == ENOTDIR))
        return Result::Failed(FolderReason(errno));
    rewritten.fileName = LastComponent(path_);
    rewritten.inode = identity_.inode;
    rewritten.birth = BirthOf(st);
    const TSignalsHeld held;
    std::string reason;
    // Where the volume keeps the attributes and the creation time with the file itself (NTFS,
    // FAT, an SMB share), a new file could not take them all (FAT's creation time cannot be
    // set): there the file is written in place, its old bytes kept in a copy meanwhile.
    if (st.stx_nlink == 1 && folder.Valid() && volume.kind == StoreKind::DosAttrib) {
        TDescriptor replacement;
        const Outcome outcome = ReplaceByRename(folder.Get(), rewritten, writable.Get(), st, bytes,
                                                keepOldAs, replacement, reason);
        if (outcome == Outcome::Failed)
            return Result::Failed(reason);
        if (outcome == Outcome::Replaced) {
            close(state_->fd);
            state_->fd = replacement.Release();
            state_->pathOnly = false;
            struct statx now {};
            if (StatDescriptor(state_->fd, now))
                identity_ = {makedev(now.stx_dev_major, now.stx_dev_minor), now.stx_ino};
            return Result::Done();
        }
    }
    return ResultOf(
        ReplaceInPlace(writable.Get(), folder.Get(), rewritten, bytes, keepOldAs, reason), reason);
}

}  // namespace platform
