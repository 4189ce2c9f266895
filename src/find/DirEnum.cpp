#include "find/DirEnum.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "find/FindMask.h"

namespace vexfind {

namespace {

constexpr std::uint32_t kExclusiveBits =
    platform::kAttrHidden | platform::kAttrSystem | kAttrVolumeLabel | platform::kAttrDirectory;

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Whether the entry is a folder in its own right, judged without following a link.
bool IsRealFolder(DIR* dir, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN) {
        return entry.d_type == DT_DIR;
    }
    // Some file systems leave the type to a look-up.
    struct stat st {};
    return fstatat(dirfd(dir), entry.d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::optional<platform::FindData> LookUpEntry(const EntryLookUp& entry) {
    // One look-up serves both: a real folder is no link, so its target is itself. It goes
    // relative to the open folder, which spares the kernel a walk of the whole path.
    return platform::FindAt(entry.folderFd, entry.path);
}

TDirEnum::TDirEnum(const std::string& directory, std::string mask, std::uint32_t attributeSet,
                   TEntryLookUps& lookUps)
    : mask_(std::move(mask)),
      excluded_(kExclusiveBits & ~attributeSet),
      folderPrefix_(JoinPath(directory, "")),
      lookUps_(lookUps) {
    // The walk never enters a link, and a folder swapped for one after it was listed is not
    // entered either: no link on the path is followed. Opened by its whole path, however long.
    const int fd = platform::OpenFolderWithoutLinks(directory, platform::FolderUse::List);
    if (fd >= 0)
        dir_.reset(fdopendir(fd));
    if (!dir_) {
        openError_ = errno;
        if (fd >= 0)
            close(fd);
    }
}

TDirEnum::~TDirEnum() {
    // Left early (a Stop): what was not started is never done, which on a network volume
    // spares the Stop a round trip per entry asked for.
    if (taken_ < asked_)
        lookUps_.Drop();
}

void TDirEnum::ReadAhead() {
    std::size_t room = lookUps_.Room();
    while (room > 0 && !readToEnd_) {
        // readdir's errors and its end look alike; either way the enumeration is over.
        const dirent* entry = readdir(dir_.get());
        if (!entry) {
            readToEnd_ = true;
            break;
        }
        if (IsDotOrDotDot(entry->d_name))
            continue;
        const bool matches = MatchesMask(entry->d_name, mask_);
        const bool folder = IsRealFolder(dir_.get(), *entry);
        if (!matches && !folder)
            continue;
        Entry& read = entries_.emplace_back();
        read.lookUp = {dirfd(dir_.get()), folderPrefix_ + entry->d_name};
        read.nameStart = folderPrefix_.size();
        read.matches = matches;
        read.folder = folder;
        read.mayBeLink = entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN;
        lookUps_.Ask(asked_++, read.lookUp);
        --room;
    }
}

std::optional<platform::FindData> TDirEnum::LookUp(const Entry& entry) {
    // Asked for in this very order, so always there.
    return *lookUps_.Take(taken_++, entry.lookUp);
}

bool TDirEnum::Next(TSearchRec& rec) {
    while (dir_) {
        ReadAhead();
        if (entries_.empty())
            break;
        const Entry entry = std::move(entries_.front());
        entries_.pop_front();
        std::optional<platform::FindData> data = LookUp(entry);
        if (!data)
            continue;
        const char* name = entry.lookUp.path.c_str() + entry.nameStart;
        if (entry.folder &&
            (data->attributes & (platform::kAttrHidden | platform::kAttrSystem)) == 0) {
            subfolders_.emplace_back(name);
        }
        if (!entry.matches || (data->attributes & excluded_) != 0)
            continue;
        rec = MakeSearchRec(name, std::move(*data));
        rec.MayBeLink = entry.mayBeLink;
        return true;
    }
    dir_.reset();
    return false;
}

}  // namespace vexfind
