#include "core/FileAdder.h"

#include <algorithm>
#include <utility>

#include "engine/TymoUtils.h"
#include "platform/FileSystem.h"
#include "platform/Volume.h"
#include "platform/WorkAhead.h"

namespace core {
namespace {

// Paths are looked up ahead of the one added in batches: one hand-over between threads per
// batch rather than per path, whose look-up takes no longer than a hand-over. Enough batches
// go ahead that a worker seldom finds none left and sleeps (the owner takes some on too), and
// that where look-ups wait on a server several workers have one each.
constexpr std::size_t kPathsPerBatch = 16;
constexpr std::size_t kBatchesAhead = 16;

// The paths from index `first` up to `last`, not included.
using PathBatch = std::pair<std::size_t, std::size_t>;

// A path the user names, and what it stands for: a link stands for its target, and the row is
// the target's own.
struct NamedPath {
    std::string target;
    std::optional<platform::FindData> found;
};

NamedPath LookUpNamedPath(const std::string& path, platform::TOpenFolders& folders,
                          platform::FileDetail detail) {
    NamedPath named{path, std::nullopt};
    named.found = platform::FindNamedPath(named.target, &folders, detail);
    return named;
}

bool IsAcceptedDriveType(platform::DriveType kind) {
    return kind == platform::DriveType::Removable || kind == platform::DriveType::Fixed ||
           kind == platform::DriveType::Remote;
}

}  // namespace

using vexfind::TVexFind;

bool IsAcceptedDrive(const std::string& path) {
    return IsAcceptedDriveType(platform::GetDriveType(path));
}

TFileAdder::TFileAdder(filelist::TFileList& list, vexfind::IFindDispatcher& dispatcher,
                       std::function<void(bool)> setBusy)
    : list_(list),
      setBusy_(std::move(setBusy)),
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
                         const std::function<void(std::size_t)>& refused,
                         platform::FileDetail detail) {
    if (paths.empty())
        return 0;
    // Looking the paths up is most of the work, and only reads: it goes ahead on workers.
    // Many paths share a folder: each is looked up from its folder, held open meanwhile.
    platform::TOpenFolders folders;
    platform::TWorkAhead<std::vector<NamedPath>, PathBatch> lookUps(
        kBatchesAhead,
        [&paths, &folders, detail](const PathBatch& batch) {
            std::vector<NamedPath> named;
            named.reserve(batch.second - batch.first);
            for (std::size_t i = batch.first; i < batch.second; ++i)
                named.push_back(LookUpNamedPath(paths[i], folders, detail));
            return named;
        },
        platform::LookUpThreads(paths.front()));
    const auto batchAt = [&paths](std::size_t batch) {
        const std::size_t first = batch * kPathsPerBatch;
        return PathBatch{first, std::min(first + kPathsPerBatch, paths.size())};
    };
    const std::size_t batches = (paths.size() + kPathsPerBatch - 1) / kPathsPerBatch;
    std::size_t asked = 0;
    int added = 0;
    for (std::size_t batch = 0; batch < batches; ++batch) {
        for (std::size_t room = lookUps.Room(); room > 0 && asked < batches; --room, ++asked)
            lookUps.Ask(static_cast<int>(asked), batchAt(asked));
        // Asked for in this very order, so always there.
        std::vector<NamedPath> named = *lookUps.Take(static_cast<int>(batch), batchAt(batch));
        for (std::size_t k = 0; k < named.size(); ++k) {
            std::optional<filelist::FileRow> row =
                filelist::MakeFileRow(named[k].target, named[k].found, mode);
            // The look-up tells the volume, which is classified once, in whatever order the
            // paths come.
            if (row && IsAcceptedDriveType(
                           platform::GetDriveType(named[k].target, named[k].found->device))) {
                list_.AppendRow(std::move(*row));
                ++added;
            } else if (refused) {
                refused(batch * kPathsPerBatch + k);
            }
        }
    }
    return added;
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
    if (!IsAcceptedFolder(directory))
        return;
    if (mode_ == AddFolderMode::FilesOnly && (fileInfo.Attr & platform::kAttrDirectory))
        return;
    const std::string path = engine::IncludeBackslash(directory) + fileInfo.Name;
    if (fileInfo.MayBeLink) {
        // A link met in the walk is listed as the link itself; the run never follows it.
        list_.AddFileRow(path, mode_, platform::LinkRule::NoFollow);
    } else if (std::optional<filelist::FileRow> row =
                   filelist::MakeFileRow(path, fileInfo.FindData, mode_)) {
        // Anything else the walk has looked up already.
        list_.AppendRow(std::move(*row));
    }
}

bool TFileAdder::IsAcceptedFolder(const std::string& directory) {
    if (directory != lastDirectory_ || lastDirectory_.empty()) {
        lastDirectory_ = directory;
        lastDirectoryAccepted_ = IsAcceptedDrive(directory.empty() ? "/" : directory);
    }
    return lastDirectoryAccepted_;
}

}  // namespace core
