#pragma once
// The three ways of filling the list, without their dialogs: paths picked in the file dialog
// or dropped on the window, and a folder searched in the background by the finder of the
// chosen add mode. Every path ends in TFileList::AddFileRow.

#include <functional>
#include <string>
#include <vector>

#include "filelist/FileList.h"
#include "find/vexFind.h"
#include "platform/FileSystem.h"
#include "threads/PiecesAhead.h"

namespace core {

using filelist::AddFolderMode;

// Only volumes of these kinds are taken from: removable, fixed and remote.
bool IsAcceptedDrive(const std::string& path);

// Paths from the file dialog, a drop or the command line, added in order under the rules of a
// mode, a few at a time: the paths after those added are looked up ahead on workers. A folder
// is added as one row, never searched.
// Hears the index of a path the user named that added no row, and why.
using PathRefused = std::function<void(std::size_t, filelist::NotAdded)>;

class TAddingPaths {
public:
    // `paths`, as the user gave them (a relative one is taken from the working folder), outlive
    // this. `refused` hears each path that added no row. Rows that
    // nobody will see may leave out what is stored apart from the file (FileDetail). The paths
    // are looked up on `workers` threads, and on the owner's while it waits (with none, only
    // there).
    TAddingPaths(filelist::TFileList& list, const std::vector<std::string>& paths,
                 AddFolderMode mode, PathRefused refused, platform::FileDetail detail, int workers);

    // Adds the next few paths; false when none were left.
    bool AddMore();
    // How many rows were added so far.
    int Added() const { return added_; }

private:
    // A path the user names, and what it stands for: a link stands for its target, and the row
    // is the target's own.
    struct NamedPath {
        std::string target;
        std::optional<platform::FindData> found;
    };
    // The paths from index `first` up to `last`, not included.
    std::vector<NamedPath> LookUp(std::size_t first, std::size_t last);

    filelist::TFileList& list_;
    const std::vector<std::string>& paths_;
    const AddFolderMode mode_;
    const PathRefused refused_;
    const platform::FileDetail detail_;
    int added_ = 0;
    // Many paths share a folder: each is looked up from its folder, held open meanwhile.
    // Declared before the work-ahead, so that they close after its threads stop.
    platform::TOpenFolders folders_;
    threads::TPiecesAhead<std::vector<NamedPath>> lookUps_;
};

class TFileAdder {
public:
    // `setBusy(true)` when a folder search starts, `setBusy(false)` when one completes;
    // `notSearched` hears each folder a search could not open, and why.
    using FolderNotSearched =
        std::function<void(const std::string& folder, const std::string& reason)>;
    TFileAdder(filelist::TFileList& list, vexfind::IFindDispatcher& dispatcher,
               std::function<void(bool)> setBusy, FolderNotSearched notSearched = {});

    // All of `paths` at once, as TAddingPaths adds them. Returns how many rows were added.
    int AddPaths(const std::vector<std::string>& paths, AddFolderMode mode,
                 const PathRefused& refused = {},
                 platform::FileDetail detail = platform::FileDetail::Shown);

    // Sets the add mode and searches `folder` and every folder below it with that mode's
    // finder; returns at once. The finds arrive through the dispatcher.
    void AddFolder(AddFolderMode mode, const std::string& folder);

    // The mode of the last add-folder command; FilesOnly before the first.
    AddFolderMode Mode() const { return mode_; }
    void SetMode(AddFolderMode mode) { mode_ = mode; }
    vexfind::TVexFind& Finder(AddFolderMode mode);

private:
    void SetUpFinder(vexfind::TVexFind& finder, vexfind::TThreadPriority priority);
    // One find of a search: filtered, then added.
    void FileFound(const std::string& directory, const vexfind::TSearchRec& fileInfo);
    bool IsAcceptedFolder(const std::string& directory, std::uint64_t device);

    filelist::TFileList& list_;
    std::function<void(bool)> setBusy_;
    FolderNotSearched notSearched_;
    AddFolderMode mode_ = AddFolderMode::FilesOnly;
    // The drive test of the folder whose finds arrive now: a folder's finds come together.
    std::string lastDirectory_;
    bool lastDirectoryAccepted_ = false;
    vexfind::TVexFind findFilesOnly_;
    vexfind::TVexFind findFilesAndDirs_;
    vexfind::TVexFind findDirsOnly_;
};

}  // namespace core
