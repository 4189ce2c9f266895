// The recycle bin of Windows is the freedesktop.org trash here, written by the program itself
// so that a file is never moved without an entry that can bring it back: the entry in info/ is
// written whole and synced first, and only then is the file renamed into files/. A file on the
// home volume goes to $XDG_DATA_HOME/Trash; one on another volume to that volume's own trash at
// its top folder, since a trash never copies a file across volumes.

#include "platform/Trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/FolderOpen.h"
#include "platform/linux/RenameNoReplace.h"
#include "platform/linux/VolumeKind.h"

namespace platform {

using namespace linux_fs;

namespace {

// A trash folder: its files/ and info/ held open, and the folder the Path= of an entry is
// written against (empty: the path is written whole).
struct TrashFolder {
    TDescriptor files;
    TDescriptor info;
    std::string pathBase;
};

// A folder of the trash that is ours, in the folder `at` holds (or the current folder): made
// when missing (0700), reached through a link only where `rule` says.
TDescriptor OpenOwnFolder(int at, const std::string& name, LinkRule rule = LinkRule::NoFollow) {
    mkdirat(at, name.c_str(), 0700);
    const int noFollow = rule == LinkRule::NoFollow ? O_NOFOLLOW : 0;
    return TDescriptor(openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | noFollow | O_CLOEXEC));
}

// A user may have linked the home trash to another place; a volume's trash, in a folder other
// users can write, is never reached through a link.
std::optional<TrashFolder> OpenTrash(const std::string& trash, std::string pathBase,
                                     LinkRule rule = LinkRule::NoFollow) {
    const TDescriptor top = OpenOwnFolder(AT_FDCWD, trash, rule);
    struct stat st {};
    // Another user's folder under the name ours should have is not used.
    if (!top.Valid() || fstat(top.Get(), &st) != 0 || st.st_uid != geteuid())
        return std::nullopt;
    TrashFolder folder{OpenOwnFolder(top.Get(), "files"), OpenOwnFolder(top.Get(), "info"),
                       std::move(pathBase)};
    if (!folder.files.Valid() || !folder.info.Valid())
        return std::nullopt;
    return folder;
}

std::string HomeTrashPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    const std::string base =
        data && *data ? std::string(data) : std::string(home ? home : "") + "/.local/share";
    return base + "/Trash";
}

// The device of the nearest existing folder on the way to `path`.
dev_t DeviceOf(std::string path) {
    struct stat st {};
    while (stat(path.c_str(), &st) != 0 && path != "/" && path != ".")
        path = FolderOf(path);
    return st.st_dev;
}

// $topdir/.Trash/$uid where the administrator made $topdir/.Trash for all (a real folder with
// the sticky bit, so no user can take another's), else $topdir/.Trash-$uid.
std::optional<TrashFolder> OpenVolumeTrash(const std::string& top) {
    const std::string uid = std::to_string(geteuid());
    const std::string shared = JoinPath(top, ".Trash");
    struct stat st {};
    if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        if (auto trash = OpenTrash(shared + "/" + uid, top))
            return trash;
    }
    return OpenTrash(JoinPath(top, ".Trash-" + uid), top);
}

std::optional<TrashFolder> TrashFor(const std::string& path, dev_t device) {
    const std::string home = HomeTrashPath();
    if (DeviceOf(home) == device) {
        // A home without the folders yet: the trash is opened (and said to be missing) below.
        static_cast<void>(CreateFolders(FolderOf(home)));
        return OpenTrash(home, {}, LinkRule::Follow);
    }
    return OpenVolumeTrash(TopFolderOf(path, device));
}

// The path in the URL form the entry holds: every byte but the unreserved ones and "/" as %XX,
// so that a line break, a "%" or a byte that is not UTF-8 restores as it was.
std::string PercentEncoded(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                           c == '~' || c == '/';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out;
}

std::string InfoText(const std::string& path, const std::string& pathBase) {
    const std::string named = pathBase.empty() ? path : path.substr(JoinPath(pathBase, "").size());
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char date[32] = {};
    localtime_r(&now, &local);
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + PercentEncoded(named) + "\nDeletionDate=" + date + "\n";
}

// The name of the n-th try: the file's own name, then "name.2.ext" and so on; kept short enough
// that "NAME.trashinfo" is a name the volume takes.
std::string CandidateName(const std::string& name, int attempt) {
    constexpr std::size_t kLongest = 200;
    if (attempt == 1 && name.size() <= kLongest)
        return name;
    const std::string extension = ExtensionOf(name);
    const std::string stem = name.substr(0, name.size() - extension.size());
    return stem.substr(0, kLongest - 20) + "." + std::to_string(attempt) + extension.substr(0, 20);
}

// Writes the entry of `path` in info/ and then moves the file into files/ under the same name;
// false with errno set, with neither done (or, where the file cannot be put back, both).
bool TrashInto(const TrashFolder& trash, const std::string& path) {
    const std::string info = InfoText(path, trash.pathBase);
    const std::string name = LastComponent(path);
    // Reached as the row's file was, without following a link: a folder swapped for one since
    // would send another file to the trash.
    const TDescriptor source(OpenFolderWithoutLinks(FolderOf(path), FolderUse::LookUp));
    if (!source.Valid())
        return false;
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string candidate = CandidateName(name, attempt);
        const std::string infoName = candidate + ".trashinfo";
        const TDescriptor entry(openat(trash.info.Get(), infoName.c_str(),
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!entry.Valid() && errno == EEXIST)
            continue;
        const auto bytes =
            std::span(reinterpret_cast<const std::uint8_t*>(info.data()), info.size());
        const bool written = entry.Valid() && WriteAllAt(entry.Get(), bytes, 0) &&
                             fsync(entry.Get()) == 0 && fsync(trash.info.Get()) == 0;
        int error = written ? 0 : errno;
        if (written) {
            error = RenameNoReplaceAt(source.Get(), name, trash.files.Get(), candidate);
            if (error == 0 && fsync(trash.files.Get()) == 0)
                return true;
            // Moved, but not known to be on the disk: the file goes back where it was; where it
            // cannot, its entry stays, so that it can be restored from the trash.
            if (error == 0) {
                error = errno;
                if (RenameNoReplaceAt(trash.files.Get(), candidate, source.Get(), name) != 0) {
                    errno = error;
                    return false;
                }
            }
        }
        if (entry.Valid())
            unlinkat(trash.info.Get(), infoName.c_str(), 0);
        // files/ may hold a name whose entry is gone; the next name is tried then.
        if (error != EEXIST) {
            errno = error;
            return false;
        }
    }
    errno = EEXIST;
    return false;
}

}  // namespace

Result MoveToTrash(const std::string& path) {
    const std::string full = FullPath(path);
    struct stat st {};
    if (lstat(full.c_str(), &st) != 0)
        return FailedWithErrno();
    const std::optional<TrashFolder> trash = TrashFor(full, st.st_dev);
    if (!trash)
        return Result::Failed("no trash can be made on its volume");
    if (!TrashInto(*trash, full))
        return Result::Failed("cannot be moved to the trash: " + FolderReason(errno));
    return Result::Done();
}

}  // namespace platform
