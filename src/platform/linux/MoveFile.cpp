// Renames that never replace another file. renameat2(RENAME_NOREPLACE) does it in one step
// where the file system supports it; FUSE and NFS mounts refuse the flag (EINVAL), and there a
// hard link to the new name followed by removing the old one gives the same guarantee.

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cwchar>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/FileEntry.h"
#include "platform/linux/FolderOpen.h"
#include "platform/linux/NtfsUpcase.h"
#include "platform/linux/RenameNoReplace.h"
#include "platform/linux/VolumeKind.h"

namespace platform {

int linux_fs::RenameNoReplaceAt(int fromFolder, const std::string& from, int toFolder,
                                const std::string& to) {
    if (renameat2(fromFolder, from.c_str(), toFolder, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;

    if (linkat(fromFolder, from.c_str(), toFolder, to.c_str(), 0) == 0) {
        if (unlinkat(fromFolder, from.c_str(), 0) == 0)
            return 0;
        const int error = errno;
        unlinkat(toFolder, to.c_str(), 0);  // keep the file under its old name only
        return error;
    }
    if (errno == EEXIST)
        return EEXIST;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;

    // No hard links either (folders, or file systems without links): a plain rename after
    // checking that the new name is free is the best this file system allows.
    struct stat st {};
    if (fstatat(toFolder, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return renameat(fromFolder, from.c_str(), toFolder, to.c_str()) == 0 ? 0 : errno;
}

int linux_fs::RenameNoReplace(const std::string& from, const std::string& to) {
    return RenameNoReplaceAt(AT_FDCWD, from, AT_FDCWD, to);
}

namespace {

using linux_fs::RenameNoReplaceAt;
using linux_fs::TDescriptor;

// A file's folder, held open, and its name there.
struct Placed {
    int folder;
    std::string name;
};

bool SameFile(const Placed& a, const Placed& b) {
    struct stat sa {
    }, sb{};
    return fstatat(a.folder, a.name.c_str(), &sa, AT_SYMLINK_NOFOLLOW) == 0 &&
           fstatat(b.folder, b.name.c_str(), &sb, AT_SYMLINK_NOFOLLOW) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int Rename(const Placed& from, const Placed& to) {
    return RenameNoReplaceAt(from.folder, from.name, to.folder, to.name);
}

// A rename the system refused, and why in the command line's words.
MoveOutcome RefusedWith(int error) {
    if (error == ENAMETOOLONG)
        return {MoveResult::NameTooLong, {}};
    return {MoveResult::Failed, FolderReason(error)};
}

// A change of letter case on a file system that ignores case: a plain rename would see the
// same file and do nothing, so the file goes through a unique name in its own folder.
MoveOutcome RenameThroughTemporary(const Placed& from, const Placed& to) {
    static std::atomic<unsigned> counter{0};
    Placed temporary{from.folder, {}};
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary.name =
            ".kelvane-rename-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        error = Rename(from, temporary);
    }
    if (error != 0)
        return RefusedWith(error);
    error = Rename(temporary, to);
    if (error == 0)
        return {MoveResult::Moved, {}};
    Rename(temporary, from);
    return error == EEXIST ? MoveOutcome{MoveResult::TargetExists, {}} : RefusedWith(error);
}

// A name as Windows compares names on NTFS: code unit by code unit through the volume's
// upper-case table. A byte that is no UTF-8 stands for itself, apart from every letter.
std::u16string UpperForWindows(const std::string& name, const linux_fs::TNtfsCaseTable& table) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    constexpr char16_t kRawByte = 0xDC00;  // as Python's surrogate escapes: never a letter
    std::u16string upper;
    const locale_t previous = utf8 ? uselocale(utf8) : nullptr;
    std::mbstate_t state{};
    for (std::size_t at = 0; at < name.size();) {
        wchar_t c = 0;
        std::size_t length = utf8 ? std::mbrtowc(&c, name.data() + at, name.size() - at, &state)
                                  : static_cast<std::size_t>(-1);
        if (length == 0 || length > name.size() - at) {
            upper.push_back(static_cast<char16_t>(kRawByte + static_cast<unsigned char>(name[at])));
            at += 1;
            state = {};
            continue;
        }
        // Beyond the Basic Multilingual Plane: two code units, which the table leaves as they are.
        if (c > 0xFFFF) {
            const auto beyond = static_cast<char32_t>(c) - 0x10000;
            upper.push_back(static_cast<char16_t>(0xD800 + (beyond >> 10)));
            upper.push_back(static_cast<char16_t>(0xDC00 + (beyond & 0x3FF)));
        } else {
            upper.push_back(table.Upper(static_cast<char16_t>(c)));
        }
        at += length;
    }
    if (previous)
        uselocale(previous);
    return upper;
}

// The case table of the NTFS volume `path` lies on. A volume that shows its own is read again
// only when that file is another than the one read last (a run renames many files on one
// volume; another volume mounted later may get the same device number).
std::shared_ptr<const linux_fs::TNtfsCaseTable> CaseTableOf(const std::string& path, dev_t device) {
    using linux_fs::TNtfsCaseTable;
    // The shipped table, never freed: shared without owning it.
    const std::shared_ptr<const TNtfsCaseTable> shipped(&TNtfsCaseTable::Default(),
                                                        [](const TNtfsCaseTable*) {});
    static std::mutex mutex;
    static std::map<dev_t, std::pair<std::string, std::shared_ptr<const TNtfsCaseTable>>> tables;
    const std::string top = linux_fs::TopFolderOf(path, device);
    struct stat st {};
    if (lstat(JoinPath(top, "$UpCase").c_str(), &st) != 0)
        return shipped;
    const std::string identity = std::to_string(st.st_ino) + ":" + std::to_string(st.st_size) +
                                 ":" + std::to_string(st.st_mtim.tv_sec) + "." +
                                 std::to_string(st.st_mtim.tv_nsec) + ":" + top;
    const std::lock_guard lock(mutex);
    auto& [readFrom, table] = tables[device];
    if (readFrom != identity) {
        std::optional<TNtfsCaseTable> own = TNtfsCaseTable::OfVolume(top);
        table = own ? std::make_shared<const TNtfsCaseTable>(std::move(*own)) : shipped;
        readFrom = identity;
    }
    return table;
}

// Whether another entry of the new name's folder differs from the new name in letter case
// only. NTFS mounted on Linux keeps such names apart, but Windows would then show two files
// of one name and reach only one of them.
bool WindowsSeesNameTaken(const std::string& from, const std::string& to) {
    const std::string folder = FolderOf(to);
    struct statx st {};
    if (statx(AT_FDCWD, folder.c_str(), AT_STATX_SYNC_AS_STAT, linux_fs::kStatxMask, &st) != 0)
        return false;
    const linux_fs::TFileRef folderRef = linux_fs::TFileRef::OfPath(folder, LinkRule::Follow);
    if (linux_fs::VolumeStoreOf(folderRef, st).kind != linux_fs::StoreKind::Ntfs)
        return false;
    const auto closeFolder = [](DIR* dir) { closedir(dir); };
    const std::unique_ptr<DIR, decltype(closeFolder)> entries(opendir(folder.c_str()), closeFolder);
    if (!entries)
        return false;
    const std::shared_ptr<const linux_fs::TNtfsCaseTable> held =
        CaseTableOf(to, makedev(st.stx_dev_major, st.stx_dev_minor));
    const linux_fs::TNtfsCaseTable& table = *held;
    const std::string oldName = LastComponent(from);
    const std::string newName = LastComponent(to);
    const std::u16string wanted = UpperForWindows(newName, table);
    while (const dirent* entry = readdir(entries.get())) {
        const std::string name = entry->d_name;
        // The file itself may change its case; the new name itself is refused by the rename.
        if (name == oldName || name == newName || name == "." || name == "..")
            continue;
        if (UpperForWindows(name, table) == wanted)
            return true;
    }
    return false;
}

}  // namespace

MoveOutcome CheckMove(const std::string& from, const std::string& to) {
    if (from == to)
        return {MoveResult::Moved, {}};
    if (WindowsSeesNameTaken(from, to))
        return {MoveResult::TargetExists, {}};
    const long longest = pathconf(FolderOf(to).c_str(), _PC_NAME_MAX);
    if (longest > 0 && LastComponent(to).size() > static_cast<std::size_t>(longest))
        return {MoveResult::NameTooLong, {}};
    struct stat source {};
    struct stat target {};
    // A name the file itself answers to (a change of case where case is ignored) is no other
    // file's.
    if (lstat(to.c_str(), &target) == 0 &&
        (lstat(from.c_str(), &source) != 0 || source.st_dev != target.st_dev ||
         source.st_ino != target.st_ino)) {
        return {MoveResult::TargetExists, {}};
    }
    return {MoveResult::Moved, {}};
}

MoveOutcome MoveFile(const std::string& from, const std::string& to) {
    if (from == to) {
        // Renaming a file to its own name changes nothing and succeeds, as on Windows.
        struct stat st {};
        return lstat(from.c_str(), &st) == 0 ? MoveOutcome{MoveResult::Moved, {}}
                                             : RefusedWith(errno);
    }
    if (WindowsSeesNameTaken(from, to))
        return {MoveResult::TargetExists, {}};
    // Each folder is opened without following a link: one swapped for a link since the row was
    // made cannot have a file outside the folders the user chose renamed.
    const std::string fromFolder = FullPath(FolderOf(from));
    const std::string toFolder = FullPath(FolderOf(to));
    const TDescriptor fromHeld(OpenFolderWithoutLinks(fromFolder, FolderUse::LookUp));
    const TDescriptor toHeld(toFolder == fromFolder || !fromHeld.Valid()
                                 ? -1
                                 : OpenFolderWithoutLinks(toFolder, FolderUse::LookUp));
    if (!fromHeld.Valid() || (toFolder != fromFolder && !toHeld.Valid()))
        return RefusedWith(errno);
    const Placed source{fromHeld.Get(), LastComponent(from)};
    const Placed target{toHeld.Valid() ? toHeld.Get() : fromHeld.Get(), LastComponent(to)};
    const int error = Rename(source, target);
    if (error == 0)
        return {MoveResult::Moved, {}};
    if (error != EEXIST)
        return RefusedWith(error);
    if (SameFile(source, target))
        return RenameThroughTemporary(source, target);
    return {MoveResult::TargetExists, {}};
}

}  // namespace platform
