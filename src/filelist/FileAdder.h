#pragma once
// The three ways of filling the list, without their dialogs: paths picked in the file dialog
// or dropped on the window, and a folder searched in the background by the finder of the
// chosen add mode. Every path ends in TFileList::AddFileRow.

#include <functional>
#include <string>
#include <vector>

#include "filelist/FileList.h"
#include "find/vexFind.h"

namespace filelist {

using vexfind::IFindDispatcher;
using vexfind::TFindThread;
using vexfind::TSearchRec;
using vexfind::TThreadPriority;
using vexfind::TVexFind;

// Only volumes of these kinds are taken from: removable, fixed and remote.
bool IsAcceptedDrive(const std::string& path);

class TFileAdder {
public:
    // `setBusy(true)` when a folder search starts (the window disables its Start button and
    // pages, shows the busy cursor), `setBusy(false)` when a search completes.
    TFileAdder(TFileList& list, IFindDispatcher& dispatcher, std::function<void(bool)> setBusy);

    // Paths from the file dialog or a drop, in order; a folder is added as one row, never
    // searched. Returns how many rows were added.
    int AddFiles(const std::vector<std::string>& paths);

    // Sets the add mode and searches `folder` and every folder below it with that mode's
    // finder; returns at once. The finds arrive through the dispatcher.
    void AddFolder(AddFolderMode mode, const std::string& folder);

    // The finders' handlers: one find, and the end of a search.
    void VexFind1FileFound(const std::string& directory, const TSearchRec& fileInfo);
    void findFilesOnlyCompleted();

    TVexFind& Finder(AddFolderMode mode);

private:
    void SetUpFinder(TVexFind& finder, TThreadPriority priority);
    bool IsAcceptedFolder(const std::string& directory);

    TFileList& list_;
    std::function<void(bool)> setBusy_;
    // The drive test of the folder whose finds arrive now: a folder's finds come together.
    std::string lastDirectory_;
    bool lastDirectoryAccepted_ = false;
    TVexFind findFilesOnly_;
    TVexFind findFilesAndDirs_;
    TVexFind findDirsOnly_;
};

}  // namespace filelist
