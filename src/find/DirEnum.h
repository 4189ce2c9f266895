#pragma once
// Directory enumeration with a mask and an attribute set, the way a Windows directory search
// lists a folder, built on the platform's folder listing and its look-up of each entry.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "find/SearchRec.h"
#include "platform/FolderListing.h"
#include "platform/Path.h"
#include "threads/WorkAhead.h"

namespace vexfind {

using platform::JoinPath;

// The look-up of an entry of an open folder (`path` ends in its name), as a walk asks for it
// ahead of the entry it reports.
struct EntryLookUp {
    const platform::TFolderListing* folder = nullptr;
    std::string path;
    bool operator==(const EntryLookUp&) const = default;
};
// Looks entries up on other threads while a walk reports the one before; one per walk, so that
// no folder starts a thread of its own.
using TEntryLookUps = threads::TWorkAhead<std::optional<platform::FindData>, EntryLookUp>;
std::optional<platform::FindData> LookUpEntry(const EntryLookUp& entry);

// Lists one folder entry by entry, and in the same pass collects the folders a walk may enter
// below it, so that a walk reads each folder once. The attribute set works as an exclusion: of
// the bits hidden, system, volume label and directory, those not asked for exclude every entry
// that carries them, so kAttrDirectory alone gives plain files and folders and kAttrAnyFile
// gives everything. "." and ".." are never listed; an entry that vanished or whose link leads
// nowhere is passed over. A folder that cannot be opened lists nothing, and OpenError says why.
class TDirEnum {
public:
    // Entries are looked up ahead on the threads of `lookUps`.
    TDirEnum(const std::string& directory, std::string mask, std::uint32_t attributeSet,
             TEntryLookUps& lookUps);
    // Drops whatever was asked ahead, and waits for the look-ups in progress before the folder
    // closes: they read through its descriptor.
    ~TDirEnum();
    TDirEnum(const TDirEnum&) = delete;
    TDirEnum& operator=(const TDirEnum&) = delete;

    // The next entry that passes mask and attributes; false at the end or on an error. The
    // folder is closed at the end, so a walk that goes deeper only then holds no descriptor
    // per level and a deep tree cannot run out of them.
    bool Next(TSearchRec& rec);

    // Why the folder could not be opened, in the words of the command line; empty when it was.
    const std::string& OpenError() const { return openError_; }

    // The enterable folders met so far, whatever the mask, in enumeration order: real folders
    // only, never a symbolic link to one (no cycles, no walking out of the tree), and neither
    // hidden nor system ones. Complete once Next has returned false.
    std::vector<std::string> TakeSubfolders() { return std::move(subfolders_); }

private:
    // An entry read from the folder and not yet reported.
    struct Entry {
        EntryLookUp lookUp;
        std::size_t nameStart = 0;
        bool matches = false;
        bool folder = false;
        bool mayBeLink = false;
    };

    // Reads entries worth a look-up, as many as may go ahead, and asks for their look-ups.
    void ReadAhead();
    std::optional<platform::FindData> LookUp(const Entry& entry);

    std::string mask_;
    std::uint32_t excluded_;
    std::optional<platform::TFolderListing> folder_;
    std::string openError_;
    bool readToEnd_ = false;
    std::string folderPrefix_;
    TEntryLookUps& lookUps_;
    std::deque<Entry> entries_;
    // How many look-ups were asked for and taken, numbering them for the look-ups.
    int asked_ = 0;
    int taken_ = 0;
    std::vector<std::string> subfolders_;
};

}  // namespace vexfind
