#pragma once
// The folder walk of a search: every root depth first, each folder's own matches reported
// before any of its subfolders is entered. It runs on whatever thread calls it; the search
// thread only runs it and hands the finds over.

#include <string>
#include <vector>

#include "find/SearchRec.h"

namespace vexfind {

// What a search looks for. The walk works on its own copy.
struct FindOptions {
    std::string fileMask;
    std::vector<std::string> directories;  // in list order
    std::string drives;
    std::vector<std::string> files;  // names or paths below "/", without a leading "/"
    std::string containingText;
    bool caseSensitive = false;
};

// Where the walk reports to.
class IWalkEvents {
public:
    // Asked before every entry and folder, and between the chunks of a text search, so it is
    // also the walk's regular moment to pass on what it has collected.
    virtual bool Terminated() = 0;
    virtual void ChangeDirectory(const std::string& directory) = 0;
    // The find is the receiver's to keep: the walk is done with it.
    virtual void FileFound(const std::string& directory, TSearchRec find) = 0;
    // A folder that could not be opened, and why (FolderReason): its entries are not listed.
    virtual void FolderNotSearched(const std::string& directory, const std::string& reason) = 0;

protected:
    ~IWalkEvents() = default;
};

// The folders a search starts from. Linux has one tree, so drive letters choose no tree: no
// letter at all means no search, and otherwise each root is walked once. An absolute entry of
// `directories` is a root as it stands, a relative one is taken below "/", and no entries at all
// mean "/" itself. Trailing separators are dropped and a root named twice is walked once.
std::vector<std::string> WalkRoots(const FindOptions& options);

// Walks every root; returns when done or as soon as it sees termination requested. Each root
// is resolved as the system does (a link on it followed) when the walk starts, so that the
// folders below it are reported by their real paths; below a root, no link is followed.
void RunFolderWalk(const FindOptions& options, IWalkEvents& events);

}  // namespace vexfind
