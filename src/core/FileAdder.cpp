#include "core/FileAdder.h"

#include <algorithm>
#include <utility>

#include "engine/TymoUtils.h"
#include "platform/FileSystem.h"
#include "platform/Volume.h"
#include "threads/ThreadBudget.h"

namespace core {
namespace {

// Paths are looked up ahead of the one added in batches: one hand-over between threads per
// batch rather than per path, whose look-up takes no longer than a hand-over. Enough batches
// go ahead that a worker seldom finds none left and sleeps (the owner takes some on too), and
// that where look-ups wait on a server several workers have one each.
constexpr std::size_t kPathsPerBatch = 16;
constexpr std::size_t kBatchesAhead = 16;

bool IsAcceptedDriveType(platform::DriveType kind) {
    return kind == platform::DriveType::Removable || kind == platform::DriveType::Fixed ||
           kind == platform::DriveType::Remote;
}

}  // namespace

using vexfind::TVexFind;

bool IsAcceptedDrive(const std::string& path) {
    return IsAcceptedDriveType(platform::GetDriveType(path));
}

TAddingPaths::TAddingPaths(filelist::TFileList& list, const std::vector<std::string>& paths,
                           AddFolderMode mode, PathRefused refused, platform::FileDetail detail,
                           int workers)
    : list_(list),
      paths_(paths),
      mode_(mode),
      refused_(std::move(refused)),
      detail_(detail),
      // Looking the paths up is most of the work, and only reads: it goes ahead on workers.
      lookUps_(
          paths.size(), kPathsPerBatch, kBatchesAhead,
          [this](std::size_t first, std::size_t last) { return LookUp(first, last); }, workers) {}

bool TAddingPaths::AddMore() {
    std::optional<std::pair<std::size_t, std::vector<NamedPath>>> batch = lookUps_.Next();
    if (!batch)
        return false;
    const auto& [first, named] = *batch;
    for (std::size_t k = 0; k < named.size(); ++k) {
        std::optional<filelist::FileRow> row =
            filelist::MakeFileRow(named[k].target, named[k].found, mode_);
        // The look-up tells the volume, which is classified once, in whatever order the paths
        // come.
        if (row &&
            IsAcceptedDriveType(platform::GetDriveType(named[k].target, named[k].found->device))) {
            list_.AppendRow(std::move(*row));
            ++added_;
        } else if (refused_) {
            refused_(first + k, row ? filelist::NotAdded::OtherVolume
                                    : *filelist::WhyNoRow(named[k].found, mode_));
        }
    }
    return true;
}

std::vector<TAddingPaths::NamedPath> TAddingPaths::LookUp(std::size_t first, std::size_t last) {
    std::vector<NamedPath> named;
    named.reserve(last - first);
    for (std::size_t i = first; i < last; ++i) {
        NamedPath& path =
            named.emplace_back(NamedPath{platform::FullPath(paths_[i]), std::nullopt});
        path.found = platform::FindNamedPath(path.target, folders_, detail_);
    }
    return named;
}

TFileAdder::TFileAdder(filelist::TFileList& list, vexfind::IFindDispatcher& dispatcher,
                       std::function<void(bool)> setBusy, FolderNotSearched notSearched)
    : list_(list),
      setBusy_(std::move(setBusy)),
      notSearched_(std::move(notSearched)),
      findFilesOnly_(dispatcher),
      findFilesAndDirs_(dispatcher),
      findDirsOnly_(dispatcher) {
    SetUpFinder(findFilesOnly_, vexfind::TThreadPriority::tpHigher);
    SetUpFinder(findFilesAndDirs_, vexfind::TThreadPriority::tpNormal);
    SetUpFinder(findDirsOnly_, vexfind::TThreadPriority::tpNormal);
}

void TFileAdder::SetUpFinder(TVexFind& finder, vexfind::TThreadPriority priority) {
    finder.SetFileMask("*.*");
    finder.SetDrives("C");
    finder.SetCaseSensitive(false);
    finder.SetThreadPriority(priority);
    finder.SetOnFileFound([this](vexfind::TFindThread&, const std::string& directory,
                                 const vexfind::TSearchRec& fileInfo) {
        try {
            FileFound(directory, fileInfo);
        } catch (...) {
            // The error ends the search, and no completion will come to end the busy state:
            // end it here, so the window is never left disabled.
            setBusy_(false);
            throw;
        }
    });
    if (notSearched_) {
        finder.SetOnFolderNotSearched(
            [this](vexfind::TFindThread&, const std::string& folder, const std::string& reason) {
                notSearched_(folder, reason);
            });
    }
    // Any search's end ends the busy state, even with another mode's search still running.
    finder.SetOnCompleted([this](vexfind::TFindThread&) { setBusy_(false); });
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

int TFileAdder::AddPaths(const std::vector<std::string>& paths, AddFolderMode mode,
                         const PathRefused& refused, platform::FileDetail detail) {
    if (paths.empty())
        return 0;
    TAddingPaths adding(list_, paths, mode, refused, detail,
                        threads::Workers(threads::Use::Add, paths.front()));
    while (adding.AddMore()) {
    }
    return adding.Added();
}

void TFileAdder::AddFolder(AddFolderMode mode, const std::string& folder) {
    mode_ = mode;
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

void TFileAdder::FileFound(const std::string& directory, const vexfind::TSearchRec& fileInfo) {
    if (!IsAcceptedFolder(directory, fileInfo.FindData.device))
        return;
    const std::string path = engine::IncludeBackslash(directory) + fileInfo.Name;
    if (fileInfo.MayBeLink) {
        // A link met in the walk is listed as the link itself; the run never follows it.
        list_.AddFileRow(path, mode_, platform::LinkRule::NoFollow);
    } else if (std::optional<filelist::FileRow> row =
                   filelist::MakeFileRow(path, fileInfo.FindData, mode_)) {
        // Anything else the walk has looked up already. The look-up may be a while old by the
        // time the run comes (a device or FIFO may be there by then), so it does not stand
        // for the check before the file is opened.
        row->foundAsFile = false;
        list_.AppendRow(std::move(*row));
    }
}

bool TFileAdder::IsAcceptedFolder(const std::string& directory, std::uint64_t device) {
    if (directory != lastDirectory_ || lastDirectory_.empty()) {
        lastDirectory_ = directory;
        // By the find's volume: a folder deeper than a path may be long is still classified.
        lastDirectoryAccepted_ = IsAcceptedDriveType(
            platform::GetDriveType(directory.empty() ? "/" : directory, device));
    }
    return lastDirectoryAccepted_;
}

}  // namespace core
