#include "filelist/FileAdder.h"

#include "engine/TymoUtils.h"
#include "platform/Volume.h"

namespace filelist {

bool IsAcceptedDrive(const std::string& path) {
    const platform::DriveType kind = platform::GetDriveType(path);
    return kind == platform::DriveType::Removable || kind == platform::DriveType::Fixed ||
           kind == platform::DriveType::Remote;
}

TFileAdder::TFileAdder(TFileList& list, IFindDispatcher& dispatcher,
                       std::function<void(bool)> setBusy)
    : list_(list),
      setBusy_(std::move(setBusy)),
      findFilesOnly_(dispatcher),
      findFilesAndDirs_(dispatcher),
      findDirsOnly_(dispatcher) {
    SetUpFinder(findFilesOnly_, TThreadPriority::tpHigher);
    SetUpFinder(findFilesAndDirs_, TThreadPriority::tpNormal);
    SetUpFinder(findDirsOnly_, TThreadPriority::tpNormal);
}

void TFileAdder::SetUpFinder(TVexFind& finder, TThreadPriority priority) {
    finder.SetFileMask("*.*");
    finder.SetDrives("C");
    finder.SetCaseSensitive(false);
    finder.SetThreadPriority(priority);
    finder.SetOnFileFound(
        [this](TFindThread&, const std::string& directory, const TSearchRec& fileInfo) {
            VexFind1FileFound(directory, fileInfo);
        });
    finder.SetOnCompleted([this](TFindThread&) { findFilesOnlyCompleted(); });
}

TVexFind& TFileAdder::Finder(AddFolderMode mode) {
    switch (mode) {
        case AddFolderMode::FilesAndFolders:
            return findFilesAndDirs_;
        case AddFolderMode::FoldersOnly:
            return findDirsOnly_;
        case AddFolderMode::FilesOnly:
            break;
    }
    return findFilesOnly_;
}

int TFileAdder::AddFiles(const std::vector<std::string>& paths) {
    int added = 0;
    for (const std::string& path : paths) {
        if (IsAcceptedDrive(path) && list_.AddFileRow(path))
            ++added;
    }
    return added;
}

void TFileAdder::AddFolder(AddFolderMode mode, const std::string& folder) {
    list_.addFolderMode = mode;
    setBusy_(true);
    TVexFind& finder = Finder(mode);
    finder.Directories().Clear();
    // Linux has one tree and no drive letters: the folder itself is the root of the walk, and
    // the drive stays at its default so that the search runs; "/" searches the whole tree.
    if (folder != "/")
        finder.Directories().Add(folder);
    lastDirectory_.clear();
    finder.Start();
}

void TFileAdder::VexFind1FileFound(const std::string& directory, const TSearchRec& fileInfo) {
    if (!IsAcceptedFolder(directory))
        return;
    if (list_.addFolderMode == AddFolderMode::FilesOnly &&
        (fileInfo.Attr & platform::kAttrDirectory)) {
        return;
    }
    list_.AddFileRow(engine::IncludeBackslash(directory) + fileInfo.Name);
}

void TFileAdder::findFilesOnlyCompleted() {
    setBusy_(false);
}

bool TFileAdder::IsAcceptedFolder(const std::string& directory) {
    if (directory != lastDirectory_ || lastDirectory_.empty()) {
        lastDirectory_ = directory;
        lastDirectoryAccepted_ = IsAcceptedDrive(directory.empty() ? "/" : directory);
    }
    return lastDirectoryAccepted_;
}

}  // namespace filelist
