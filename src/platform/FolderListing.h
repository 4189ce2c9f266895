#pragma once
// One folder read entry by entry, the way a folder search lists it, and its entries looked up
// relative to the open folder, so that the system does not walk the whole path again for each.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace platform {

// An entry as the folder lists it, before it is looked up.
struct ListedEntry {
    std::string_view name;   // valid until the next call of Next
    bool folder = false;     // a folder in its own right, never a link to one
    bool mayBeLink = false;  // the listing alone cannot rule out a symbolic link
};

class TFolderListing {
public:
    // Opens `folder` (a full path) without following a symbolic link anywhere on its path,
    // however long the path is: a walk never leaves the tree it was given.
    explicit TFolderListing(const std::string& folder);
    ~TFolderListing();
    TFolderListing(const TFolderListing&) = delete;
    TFolderListing& operator=(const TFolderListing&) = delete;

    // Empty when the folder is open; otherwise why it is not, in the words of the command line.
    const std::string& Error() const { return error_; }

    // The next entry, "." and ".." left out; false at the end. A read error ends the listing
    // too: the two look alike to the system.
    bool Next(ListedEntry& entry);

    // Looks up an entry of this folder (`path` ends in its name) as FindPath does without
    // following a link. Any thread may ask while the listing is open.
    std::optional<FindData> LookUp(const std::string& path) const;

private:
    struct State;
    std::unique_ptr<State> state_;
    std::string error_;
};

}  // namespace platform
