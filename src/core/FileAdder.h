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

namespace core {

using filelist::AddFolderMode;

// Only volumes of these kinds are taken from: removable, fixed and remote.
bool IsAcceptedDrive(const std::string& path);

class TFileAdder {
public:
    // `setBusy(true)` when a folder search starts, `setBusy(false)` when one completes.
    TFileAdder(filelist::TFileList& list, vexfind::IFindDispatcher& dispatcher,
               std::function<void(bool)> setBusy);

    // Paths from the file dialog or a drop, in order, under the rules of `mode`; a folder is
    // added as one row, never searched. Returns how many rows were added; `refused` hears the
    // index of each path that added none. Rows that nobody will see may leave out what is
    // stored apart from the file (FileDetail).
    int AddPaths(const std::vector<std::string>& paths, AddFolderMode mode,
                 const std::function<void(std::size_t)>& refused = {},
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
    bool IsAcceptedFolder(const std::string& directory);

    filelist::TFileList& list_;
    std::function<void(bool)> setBusy_;
    AddFolderMode mode_ = AddFolderMode::FilesOnly;
    // The drive test of the folder whose finds arrive now: a folder's finds come together.
    std::string lastDirectory_;
    bool lastDirectoryAccepted_ = false;
    vexfind::TVexFind findFilesOnly_;
    vexfind::TVexFind findFilesAndDirs_;
    vexfind::TVexFind findDirsOnly_;
};

}  // namespace core
