#include "find/DirEnum.h"

#include <fcntl.h>
#include <sys/stat.h>

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

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == platform::kPathSeparator) {
        return directory + name;
    }
    return directory + platform::kPathSeparator + name;
}

TDirEnum::TDirEnum(const std::string& directory, std::string mask, std::uint32_t attributeSet)
    : mask_(std::move(mask)),
      excluded_(kExclusiveBits & ~attributeSet),
      dir_(opendir(directory.c_str())),
      path_(JoinPath(directory, "")),
      folderPrefix_(path_.size()) {}

bool TDirEnum::Next(TSearchRec& rec) {
    if (!dir_) {
        return false;
    }
    // readdir's errors and its end look alike; either way the enumeration is over.
    while (const dirent* entry = readdir(dir_.get())) {
        if (IsDotOrDotDot(entry->d_name)) {
            continue;
        }
        const bool matches = MatchesMask(entry->d_name, mask_);
        const bool folder = IsRealFolder(dir_.get(), *entry);
        if (!matches && !folder) {
            continue;
        }
        // One look-up serves both: a real folder is no link, so its target is itself. It goes
        // relative to the open folder, which spares the kernel a walk of the whole path.
        path_.resize(folderPrefix_);
        path_ += entry->d_name;
        std::optional<platform::FindData> data = platform::FindAt(dirfd(dir_.get()), path_);
        if (!data) {
            continue;
        }
        if (folder && (data->attributes & (platform::kAttrHidden | platform::kAttrSystem)) == 0) {
            subfolders_.emplace_back(entry->d_name);
        }
        if (!matches || (data->attributes & excluded_) != 0) {
            continue;
        }
        rec = MakeSearchRec(entry->d_name, std::move(*data));
        rec.MayBeLink = entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN;
        return true;
    }
    dir_.reset();
    return false;
}

}  // namespace vexfind
