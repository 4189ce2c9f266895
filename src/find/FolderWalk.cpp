#include "find/FolderWalk.h"

#include <algorithm>
#include <cerrno>
#include <unordered_set>

#include "find/DirEnum.h"
#include "find/FindText.h"
#include "platform/FileSystem.h"
#include "threads/ThreadBudget.h"

namespace vexfind {

namespace {

// How many entries are looked up ahead of the one reported.
constexpr std::size_t kEntriesAhead = 64;

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == platform::kPathSeparator) {
        path.pop_back();
    }
    return path;
}

class FolderWalk {
public:
    FolderWalk(const FindOptions& options, IWalkEvents& events)
        : options_(options),
          events_(events),
          text_(options.caseSensitive ? options.containingText
                                      : FoldAsciiToLower(options.containingText)) {
        for (const std::string& entry : options.files) {
            files_.insert(FoldAsciiToLower(entry));
        }
    }

    void Run() {
        const std::vector<std::string> roots = WalkRoots(options_);
        if (roots.empty())
            return;
        // Most of a walk is looking entries up: on two cores that goes ahead on another thread
        // while this one reports.
        TEntryLookUps lookUps(kEntriesAhead, LookUpEntry,
                              threads::Workers(threads::Use::Search, roots.front()));
        lookUps_ = &lookUps;
        for (const std::string& root : roots) {
            if (events_.Terminated()) {
                return;
            }
            // The user chose the root, through whatever links it has.
            std::string reason;
            const std::string real = platform::ResolvedPath(root, reason);
            if (real.empty())
                events_.FolderNotSearched(root, reason);
            else
                SearchDirectory(real);
        }
    }

private:
    void SearchDirectory(const std::string& directory) {
        events_.ChangeDirectory(directory);
        if (events_.Terminated()) {
            return;
        }
        for (const std::string& name : ListMatches(directory)) {
            if (events_.Terminated()) {
                return;
            }
            SearchDirectory(JoinPath(directory, name));
        }
    }

    // Reports the folder's matches and returns the subfolders to enter, both from one reading
    // of the folder, which is closed before the walk goes deeper.
    std::vector<std::string> ListMatches(const std::string& directory) {
        TDirEnum entries(directory, options_.fileMask, kAttrAnyFile, *lookUps_);
        if (!entries.OpenError().empty()) {
            events_.FolderNotSearched(directory, entries.OpenError());
            return {};
        }
        TSearchRec find;
        // Nothing found after a termination request would be reported, so stop listing too.
        while (!events_.Terminated() && entries.Next(find)) {
            if (!PassesFilesFilter(directory, find.Name)) {
                continue;
            }
            if (text_.empty() || ContainsText(directory, find)) {
                events_.FileFound(directory, std::move(find));
            }
        }
        return entries.TakeSubfolders();
    }

    // With a `Files` list an entry must be named there, by its own name or by its path below
    // "/", compared without regard to case. (A full path with its "/" can never be listed: the
    // list loses its leading separators before the walk.)
    bool PassesFilesFilter(const std::string& directory, const std::string& name) const {
        if (files_.empty()) {
            return true;
        }
        const std::string path = JoinPath(directory, name);
        const std::string belowRoot = path.substr(path.find_first_not_of(platform::kPathSeparator));
        return files_.contains(FoldAsciiToLower(name)) ||
               files_.contains(FoldAsciiToLower(belowRoot));
    }

    // Folders and files smaller than the text are never opened.
    bool ContainsText(const std::string& directory, const TSearchRec& find) const {
        if ((find.Attr & platform::kAttrDirectory) != 0 ||
            find.FindData.size < options_.containingText.size()) {
            return false;
        }
        return FileContainsText(JoinPath(directory, find.Name), find.FindData.size, text_,
                                options_.caseSensitive, [this] { return events_.Terminated(); });
    }

    const FindOptions& options_;
    IWalkEvents& events_;
    const std::string text_;
    std::unordered_set<std::string> files_;
    TEntryLookUps* lookUps_ = nullptr;
};

}  // namespace

std::vector<std::string> WalkRoots(const FindOptions& options) {
    std::vector<std::string> roots;
    if (options.drives.empty()) {
        return roots;
    }
    if (options.directories.empty()) {
        roots.emplace_back(1, platform::kPathSeparator);
    }
    for (const std::string& entry : options.directories) {
        const bool absolute = !entry.empty() && entry.front() == platform::kPathSeparator;
        std::string root = WithoutTrailingSeparators(
            absolute ? entry : JoinPath(std::string(1, platform::kPathSeparator), entry));
        if (std::find(roots.begin(), roots.end(), root) == roots.end()) {
            roots.push_back(std::move(root));
        }
    }
    return roots;
}

void RunFolderWalk(const FindOptions& options, IWalkEvents& events) {
    FolderWalk(options, events).Run();
}

}  // namespace vexfind
