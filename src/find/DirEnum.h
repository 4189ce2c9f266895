#pragma once
// Directory enumeration with a mask and an attribute set, the way a Windows directory search
// lists a folder, built on readdir and the platform's look-up of each entry.

#include <dirent.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "find/SearchRec.h"

namespace vexfind {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// "/" and "a" give "/a"; "/x" and "a" give "/x/a".
std::string JoinPath(const std::string& directory, const std::string& name);

// Lists one folder entry by entry, and in the same pass collects the folders a walk may enter
// below it, so that a walk reads each folder once. The attribute set works as an exclusion: of
// the bits hidden, system, volume label and directory, those not asked for exclude every entry
// that carries them, so kAttrDirectory alone gives plain files and folders and kAttrAnyFile
// gives everything. "." and ".." are never listed; an entry that vanished or whose link leads
// nowhere is passed over. A folder that cannot be opened lists nothing.
class TDirEnum {
public:
    TDirEnum(const std::string& directory, std::string mask, std::uint32_t attributeSet);

    // The next entry that passes mask and attributes; false at the end or on an error. The
    // folder is closed at the end, so a walk that goes deeper only then holds no descriptor
    // per level and a deep tree cannot run out of them.
    bool Next(TSearchRec& rec);

    // The enterable folders met so far, whatever the mask, in enumeration order: real folders
    // only, never a symbolic link to one (no cycles, no walking out of the tree), and neither
    // hidden nor system ones. Complete once Next has returned false.
    std::vector<std::string> TakeSubfolders() { return std::move(subfolders_); }

private:
    std::string mask_;
    std::uint32_t excluded_;
    DirHandle dir_;
    // The path of the entry being looked up: the folder's prefix stays, only the name changes,
    // so that a folder of many entries needs no new text for each.
    std::string path_;
    std::size_t folderPrefix_;
    std::vector<std::string> subfolders_;
};

}  // namespace vexfind
