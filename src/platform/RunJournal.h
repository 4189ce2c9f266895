#pragma once
// The journal of a run: for every file it changes, what the file was and what the run made of
// it, written to disk before the change is made, so that the run can be undone later, even one
// that a crash or a kill cut short. One journal per run, with the old content of the files it
// rewrote beside it; the last runs are kept (docs/journal.md describes the files).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileHandle.h"
#include "platform/Result.h"

namespace platform {

// A value the volume keeps for the attributes or the creation time, byte for byte: where it is
// kept (an extended attribute's name) and what it holds; nullopt when the file has none.
struct StoredValue {
    std::string place;
    std::optional<std::string> bytes;
    bool operator==(const StoredValue&) const = default;
};

// One file's state in the fields a run changes. Times are nanoseconds since 1970 (UTC), as the
// system keeps them; the creation time is absent where the volume keeps none.
struct FileState {
    std::string path;
    std::optional<std::int64_t> creation;
    std::int64_t lastWrite = 0;
    std::int64_t lastAccess = 0;
    std::uint32_t attributes = 0;
    std::uint32_t mode = 0;
    // False where the state was foreseen rather than read (the mode and the stored values a
    // change will leave are known only once it is made).
    bool storedKnown = true;
    std::vector<StoredValue> stored;
    bool operator==(const FileState&) const = default;
};

enum class JournalEntryKind : std::uint8_t {
    // Written before the change: the file as it is, and as the run means to leave it.
    Intent = 1,
    // Written after it: the file as the change left it.
    Done = 2,
};

struct JournalEntry {
    JournalEntryKind kind = JournalEntryKind::Intent;
    // The file's number in the run: an intent and its done entry share it.
    std::uint64_t number = 0;
    FileIdentity identity;
    // For a done entry, what its intent foresaw (the intent's `after`): the journal keeps only
    // the fields in which the change left the file otherwise.
    FileState before;
    FileState after;
    // The file's content before the change is kept beside the journal (TRunJournal::KeptPath).
    bool contentKept = false;
};

// What a journal file tells of its run.
struct RunSummary {
    std::string id;
    std::int64_t started = 0;  // nanoseconds since 1970
    bool isUndo = false;
    std::size_t files = 0;
    // The fields changed in any of its files, in words ("names, times, attributes, content").
    std::string changed;
    // The bytes of old content the run keeps beside its journal (told by ListRuns only).
    std::uint64_t keptBytes = 0;
};

// The journal of one run. Entries are added from any thread; Sync makes every entry added so far
// durable with one write and one data sync, so that a run records a whole batch of files before
// it changes any of them. The file is made at the first Sync with entries: a run that changes
// nothing leaves no journal.
class TRunJournal {
public:
    enum class Kind { Run, Undo };

    // The journal of a run starting now; nullopt with the reason when the journal folder cannot
    // be made or written.
    static std::unique_ptr<TRunJournal> Begin(Kind kind, std::string& reason);
    ~TRunJournal();
    TRunJournal(const TRunJournal&) = delete;
    TRunJournal& operator=(const TRunJournal&) = delete;

    // The number the next file of the run is given.
    std::uint64_t NextNumber();
    // Where the content of the file numbered `number` is kept before a rewrite (a path for
    // ReplaceContent's `keepOldAs`); empty with the reason when the place cannot be made.
    std::string KeptPath(std::uint64_t number, std::string& reason);
    void Add(const JournalEntry& entry);
    // Writes what was added and makes it durable; failing with the reason when it could not,
    // and then nothing recorded since the last Sync may be changed (nor after: a journal that
    // failed once takes no more).
    Result Sync();

private:
    struct Impl;
    explicit TRunJournal(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// The journals kept, oldest first.
std::vector<RunSummary> ListRuns();
// How many runs are kept, and the last one, read from its journal alone: a journal of a large
// run takes long to read.
struct KeptRuns {
    std::size_t count = 0;
    std::optional<RunSummary> last;
};
KeptRuns LastRunKept();
// Where the content of the file numbered `number` in the run `id` was kept.
std::string KeptContentPath(const std::string& id, std::uint64_t number);
// Removes every journal kept; the reason when one could not be removed.
Result ForgetRuns();

// One file an undo left as it was, or could not restore, and why.
struct UndoneFile {
    std::string path;
    std::string reason;
};

// What an undo tells as it goes, for a front end that shows it, and how it spreads its work;
// any may be empty.
struct UndoWatch {
    // After each file looked at: how many of the run's `total` files are. False stops the undo
    // there: the files already checked are put back, every later one is left as it is.
    std::function<bool(std::size_t done, std::size_t total)> progress;
    // A file put back: the path the run left it at, and the path it has again.
    std::function<void(const std::string& from, const std::string& to)> restored;
    // Does `work` over the indexes [0, count), perhaps on several threads at once, and returns
    // once it is all done: the caller's way to spread the files of a batch, which touch no
    // file of each other, over the processors. Empty: one after the other.
    std::function<void(std::size_t count,
                       const std::function<void(std::size_t first, std::size_t last)>& work)>
        spread;
};

// Puts back, newest change first, every file of the run `id` (empty: the last run kept) whose
// state is still what the run left, recording the undo in `journal` (null: none) as a run of its
// own. Each file left as it is goes to `left` with the reason; `restored` counts the others.
// Fails with the reason, nothing changed, when there is no such run or its journal is not ours
// or is damaged.
Result UndoRun(const std::string& id, TRunJournal* journal,
               const std::function<void(const UndoneFile&)>& left, std::size_t& restored,
               const UndoWatch& watch = {});

// The bytes every file kept under the journals' folder holds, the journals and what they keep
// beside them; 0 when there is no such folder.
std::uint64_t RunsSpaceHeld();
// A number that changes whenever a file under the journals' folder comes, goes or is written:
// what ListRuns told stays true while it stays the same. Reads no journal.
std::uint64_t RunsFolderStamp();

}  // namespace platform
