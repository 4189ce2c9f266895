#pragma once
// Changes the files of the rows whose turn has come on worker threads, while the run goes on to
// the next rows; the run takes every row back before it lets events in, so a Stop, a changed
// option or an edited list never meets a row still out. Only attributes and times are changed
// this way, and the rows out at once ask the same of their files: no file's change then touches
// another row's file, and the order in which the files are changed does not matter. What does
// matter is one file named by two rows (twice, or through a hard link): one thread at a time
// changes it, and a thread that opened it while another was changing it opens it again, so that
// nothing read before that change is written back. The rows are brought up to date in their
// order by the run's thread.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "engine/FilePipeline.h"
#include "platform/WorkAhead.h"

namespace engine {

// The files being changed, by identity.
class TFilesInHand {
public:
    // A count that moves on each time a file is let go; read before a file is opened.
    std::uint64_t LetGo() const;
    // Waits while another thread holds `file`, then holds it. False, and not held, when another
    // thread let it go after `since`: what was read of it when it was opened may be stale.
    bool Hold(const platform::FileIdentity& file, std::uint64_t since);
    void Release(const platform::FileIdentity& file);

private:
    bool LetGoSince(const platform::FileIdentity& file, std::uint64_t since) const;

    mutable std::mutex mutex_;
    std::condition_variable released_;
    std::vector<platform::FileIdentity> held_;
    // The files let go last: the one whose letting go made the count c is at c % their number.
    std::array<platform::FileIdentity, 64> recent_{};
    std::uint64_t letGo_ = 0;
};

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
    // Changes the files handed over on `threads` threads, and on the run's own while it waits
    // for one.
    TChangeAhead(TFilePipeline& pipeline, int threads);

    // Hands the file of `row` over, to be changed as `changes` ask (attributes and times only).
    void Hand(int row, RowFile file, const FileChanges& changes);
    // How many rows were handed over and not yet taken back.
    std::size_t Handed() const { return handed_; }
    // The first row handed over and not taken back (there must be one), once its file is done.
    ChangedRow TakeFirst();

private:
    ProcessedFile Change(const ChangeRequest& request);

    TFilePipeline& pipeline_;
    TFilesInHand inHand_;
    // Counted by the run's thread alone, which hands the rows over and takes them back.
    std::size_t handed_ = 0;
    // Declared before the work-ahead, so that they close after its threads stop.
    platform::TOpenFolders folders_;
    platform::TWorkAhead<ProcessedFile, ChangeRequest> files_;
};

}  // namespace engine
