#pragma once
// The rows a journal run changes in their turn (renames, rewrites), recorded in batches: each
// file is opened, locked and planned, its change recorded, and the batch's records made durable
// with one sync before its files are changed, in their order. A sync costs a millisecond or more
// on a disk, a rename a few microseconds. A file joins only while no change in the batch can
// touch it: it is not in the batch already (a second row, a hard link), and neither its name
// nor the name it takes (or would take, were it free) is one another file of the batch has or
// takes, so that every plan still holds when its turn comes.

#include <cstddef>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/ChangeAhead.h"
#include "engine/FilePipeline.h"

namespace engine {

class TInTurnBatch {
public:
    explicit TInTurnBatch(TFilePipeline& pipeline) : pipeline_(pipeline) {}

    // Prepares and records the file of `row`; false when it cannot join the batch: the caller
    // changes the batch's files first and adds the row again.
    bool Add(int row, const RowFile& file, const FileChanges& changes);
    // Whether the batch should be changed before another row joins: it is full, or holds a
    // rewrite, whose own syncs cost more than the batch's.
    bool Full() const { return full_; }
    bool Empty() const { return files_.empty(); }
    // Syncs the records and changes the files in their order, up to the first whose failure
    // ends the run; the rows done, in their order. The batch is empty again after.
    std::vector<ChangedRow> Change();

private:
    struct Joined {
        int row;
        FileChanges changes;
        PreparedFile prepared;
    };

    TFilePipeline& pipeline_;
    std::vector<Joined> files_;
    std::unordered_set<platform::FileIdentity, platform::FileIdentityHash> identities_;
    // The names the batch's files have and take, full paths in lower case (a volume may not
    // tell case apart).
    std::set<std::string> names_;
    bool full_ = false;
};

}  // namespace engine
