#pragma once
// Changes the files of the rows whose turn has come on worker threads, while the run goes on to
// the next rows; the run takes every row back before it lets events in, so a Stop, a changed
// option or an edited list never meets a row still out. Only attributes and times are changed
// this way, and the rows out at once ask the same of their files: no file's change then touches
// another row's file, and the order in which the files are changed does not matter. What does
// matter is one file named by two rows (twice, or through a hard link): one thread at a time
// changes it, and a thread that opened it while another was changing it opens it again, so that
// nothing read before that change is written back. The rows are brought up to date in their
// order by the run's thread. Where the run keeps a journal, the rows go over in batches: a
// worker records a whole batch with one sync before it changes any of its files.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "engine/FilePipeline.h"
#include "threads/KeysInHand.h"
#include "threads/WorkAhead.h"

namespace engine {

// The files being changed, by identity.
using TFilesInHand = threads::TKeysInHand<platform::FileIdentity, platform::FileIdentityHash>;

// A row handed over: its file, and what the run asked of it at its turn.
struct ChangeRequest {
    RowFile file;
    FileChanges changes;
};

// A row taken back: its index when it was handed over, and what its file's steps did.
struct ChangedRow {
    int row = 0;
    ProcessedFile processed;
};

class TChangeAhead {
public:
    // Changes the files handed over on `workers` threads, and on the run's own while it waits
    // for one; `journal`: the run's, or null. `eventsBetween`: whether every row out is taken
    // back now and then, for events to run.
    TChangeAhead(TFilePipeline& pipeline, int workers, platform::TRunJournal* journal = nullptr,
                 bool eventsBetween = true);

    // Hands the file of `row` over, to be changed as `changes` ask (attributes and times only).
    void Hand(int row, RowFile file, const FileChanges& changes);
    // How many rows were handed over and not yet taken back.
    std::size_t Handed() const { return handed_; }
    // How many rows the run may leave out before it takes the first back: enough for a few
    // batches, so that workers change one while another is being recorded, and the run's
    // thread may change one while they go on with others. Taking them all back costs a wait
    // for each one out: a run that lets events in keeps that wait short.
    std::size_t RowsKeptOut() const { return largestBatch_ * batchesOut_; }
    // The first row handed over and not taken back (there must be one), once its file is done.
    ChangedRow TakeFirst();

private:
    // Rows handed over together, and what became of each.
    struct Batch {
        std::vector<int> rows;
        std::vector<ChangeRequest> requests;
    };
    std::vector<ChangedRow> Change(const Batch& batch);
    // Asks for the rows handed over and not yet asked for.
    void AskPending();

    TFilePipeline& pipeline_;
    TFilesInHand inHand_;
    // Counted by the run's thread alone, which hands the rows over and takes them back.
    std::size_t handed_ = 0;
    std::size_t largestBatch_ = 1;
    std::size_t batchesOut_ = 4;
    std::size_t batchSize_ = 1;
    Batch pending_;
    int batchesAsked_ = 0;
    int batchesTaken_ = 0;
    std::deque<ChangedRow> taken_;
    // Declared before the work-ahead, so that they close after its threads stop.
    platform::TOpenFolders folders_;
    threads::TWorkAhead<std::vector<ChangedRow>, Batch> files_;
};

}  // namespace engine
