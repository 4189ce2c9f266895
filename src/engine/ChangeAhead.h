#pragma once
// Changes the files of upcoming rows on worker threads, ahead of their turn, where nothing can
// come between two rows (the command line: fixed options, no Stop). Only a run that changes
// each file's own attributes and times is changed ahead: no file's change then touches another
// row's file, and every row asks the same of its file, so the order in which the files are
// changed does not matter. What does matter is one file named by two rows (twice, or through a
// hard link): one thread at a time changes it, and a thread that opened it while another was
// changing it opens it again, so that nothing read before that change is written back. The rows
// are brought up to date in their order by the run's thread.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>
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
    // The files let go last, each with the count that its letting go made.
    std::deque<std::pair<platform::FileIdentity, std::uint64_t>> recent_;
    std::uint64_t letGo_ = 0;
};

class TChangeAhead {
public:
    // Changes up to `rowsAhead` rows ahead of the one taken last, on `threads` threads and the
    // run's own while it waits, as `options` ask (attributes and times only).
    TChangeAhead(std::size_t rowsAhead, TFilePipeline& pipeline, const RunOptions& options,
                 std::uint32_t setMask, int threads);

    // How many more rows to ask for now.
    std::size_t Room() const { return files_.Room(); }
    // Queues the file of `row`; rows are asked for in the order they will be taken.
    void Ask(int row, RowFile file) { files_.Ask(row, std::move(file)); }
    // The file of `row`, processed. Nullopt when the first row waiting is not `row` with
    // `file`: then every row asked for is dropped, and this one is processed in its turn.
    std::optional<ProcessedFile> Take(int row, const RowFile& asked) {
        return files_.Take(row, asked);
    }

private:
    ProcessedFile Change(const RowFile& row);

    TFilePipeline& pipeline_;
    const RunOptions options_;
    const std::uint32_t setMask_;
    TFilesInHand inHand_;
    // Declared before the work-ahead, so that they close after its threads stop.
    platform::TOpenFolders folders_;
    platform::TWorkAhead<ProcessedFile, RowFile> files_;
};

}  // namespace engine
