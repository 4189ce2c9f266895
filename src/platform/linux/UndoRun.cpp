// Undoing a run from its journal: each file the run changed gets back what it was, as long as
// nobody changed it since.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <unordered_set>

#include "platform/RunJournal.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/JournalFile.h"

namespace platform {
namespace {

using namespace linux_fs;

constexpr const char* kChangedSince = "changed since the run; left as it is";
constexpr const char* kNotReached = "the undo was stopped before this file; left as it is";
// Files checked and recorded before any of them is put back: one data sync for all of them.
constexpr std::size_t kFilesPerBatch = 512;

// A file's change as the run recorded it: what it was, and what the run left.
struct RecordedChange {
    FileIdentity identity;
    FileState before;
    FileState after;
    // Whether the run recorded what it left: without, it was cut short around this change.
    bool done = false;
    // The file's number in the run, and whether its content before the change was kept.
    std::uint64_t number = 0;
    bool contentKept = false;
};

// Whether the file `now` is still just as it was before the run.
bool AsBefore(const FileState& now, const FileState& before) {
    return now.path == before.path && now.lastWrite == before.lastWrite &&
           now.lastAccess == before.lastAccess && now.mode == before.mode &&
           now.stored == before.stored && now.attributes == before.attributes;
}

// Whether a change the run was cut short around never reached the file: it is as it was.
bool NeverMade(const RecordedChange& change) {
    if (change.done)
        return false;
    std::string reason;
    const std::optional<TFileHandle> handle = TFileHandle::Open(change.before.path, reason);
    if (!handle || handle->Identity() != change.identity)
        return false;
    const std::optional<FileState> now = handle->JournalState();
    return now && AsBefore(*now, change.before);
}

template <typename T>
bool OneOf(const T& now, const T& first, const T& second) {
    return now == first || now == second;
}

// Whether the file shows `now` just what the run left, as far as the journal tells. Where the
// run was cut short around the change, it may have been killed between two steps: each field is
// then as it was before, or as the run foresaw it.
bool StillAsLeft(const FileState& now, const RecordedChange& change) {
    const FileState& left = change.after;
    if (change.done) {
        return now.path == left.path && now.lastWrite == left.lastWrite &&
               now.lastAccess == left.lastAccess && now.mode == left.mode &&
               now.stored == left.stored;
    }
    const FileState& before = change.before;
    // The mode follows the read-only attribute.
    return OneOf(now.path, before.path, left.path) &&
           OneOf(now.lastWrite, before.lastWrite, left.lastWrite) &&
           OneOf(now.lastAccess, before.lastAccess, left.lastAccess) &&
           OneOf(now.attributes, before.attributes, left.attributes) &&
           (now.mode == before.mode || now.attributes == left.attributes);
}

// The file of the change, held open: by the name the run left, or where the run was cut short
// before it renamed the file, by the name it had.
std::optional<TFileHandle> OpenChanged(const RecordedChange& change) {
    std::string reason;
    std::optional<TFileHandle> handle = TFileHandle::Open(change.after.path, reason);
    if (!change.done && (!handle || handle->Identity() != change.identity))
        handle = TFileHandle::Open(change.before.path, reason);
    return handle;
}

// The run's changes, newest first: an intent without its done entry was cut short by a crash,
// and what it left is only foreseen.
std::vector<RecordedChange> Changes(const JournalFile& file) {
    std::map<std::uint64_t, RecordedChange> byNumber;
    for (const JournalEntry& entry : file.entries) {
        RecordedChange& change = byNumber[entry.number];
        change.number = entry.number;
        if (entry.kind == JournalEntryKind::Intent) {
            change.before = entry.before;
            change.contentKept = entry.contentKept;
            if (!change.done) {
                change.identity = entry.identity;
                change.after = entry.after;
            }
        } else {
            // A rewrite may have put a new file in the old one's place.
            change.identity = entry.identity;
            change.after = entry.after;
            change.done = true;
        }
    }
    std::vector<RecordedChange> changes;
    for (auto it = byNumber.rbegin(); it != byNumber.rend(); ++it) {
        if (!it->second.before.path.empty())
            changes.push_back(std::move(it->second));
    }
    return changes;
}

// A file ready to be put back: held open, checked, its undo recorded.
struct HeldFile {
    TFileHandle handle;
    const RecordedChange* change;
    std::uint64_t number;
};

// Puts the file back as the run found it: its content where the run kept it (before the other
// fields, unless the file is read-only now, which a rewrite refuses), then its name, stored
// values, mode and times. `keepOldAs`: where the undo's own journal keeps the content replaced.
Result PutBack(TFileHandle& handle, const RecordedChange& change, const std::string& runId,
               const std::string& keepOldAs) {
    if (!change.contentKept)
        return handle.RestoreState(change.before);
    const TDescriptor kept(
        open(KeptContentPath(runId, change.number).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    std::vector<std::uint8_t> old;
    if (!kept.Valid() || !ReadWhole(kept.Get(), old))
        return Result::Failed("its old content cannot be read: " + SystemReason(errno));
    if (handle.GetAttributes() & kAttrReadOnly) {
        if (Result put = handle.RestoreState(change.before); !put)
            return put;
    }
    if (Result replaced = handle.ReplaceContent(old, keepOldAs); !replaced)
        return replaced;
    return handle.RestoreState(change.before);
}

// A change of a batch once checked: its file held open with its undo recorded, or nothing
// to put back, where the run never made the change or the file was changed since.
struct Checked {
    std::optional<HeldFile> held;
    bool neverMade = false;
};

Checked Check(const RecordedChange& change, TRunJournal* journal) {
    if (NeverMade(change))
        return {std::nullopt, true};
    std::optional<TFileHandle> handle = OpenChanged(change);
    std::optional<FileState> now;
    if (handle && handle->Identity() == change.identity && handle->LockForChange())
        now = handle->JournalState();
    if (!now || !StillAsLeft(*now, change))
        return {};
    const std::uint64_t number = journal ? journal->NextNumber() : 0;
    if (journal)
        journal->Add({JournalEntryKind::Intent, number, change.identity, *now, change.before,
                      change.contentKept});
    return {HeldFile{std::move(*handle), &change, number}, false};
}

// What putting one file back came to: the path it was put back from, and why it was not
// (empty when it was).
struct PutBackOutcome {
    const RecordedChange* change = nullptr;
    std::string from;
    std::string failure;
};

PutBackOutcome PutBackHeld(HeldFile& file, const Result& recorded, const std::string& runId,
                           TRunJournal* journal) {
    PutBackOutcome outcome{file.change, file.handle.Path(), {}};
    if (!recorded) {
        outcome.failure = recorded.Reason();
        return outcome;
    }
    std::string reason;
    std::string keepOldAs;
    if (journal && file.change->contentKept)
        keepOldAs = journal->KeptPath(file.number, reason);
    const Result put = journal && file.change->contentKept && keepOldAs.empty()
                           ? Result::Failed(reason)
                           : PutBack(file.handle, *file.change, runId, keepOldAs);
    if (!put) {
        outcome.failure = put.Reason() + "; left as it is";
        return outcome;
    }
    if (const std::optional<FileState> now = file.handle.JournalState(); journal && now)
        journal->Add({JournalEntryKind::Done, file.number, file.handle.Identity(),
                      file.change->before, *now});
    return outcome;
}

}  // namespace

Result UndoRun(const std::string& id, TRunJournal* journal,
               const std::function<void(const UndoneFile&)>& left, std::size_t& restored,
               const UndoWatch& watch) {
    restored = 0;
    std::string reason;
    const std::string folder = RunJournalFolder(reason);
    if (folder.empty())
        return Result::Failed(reason);
    std::string runId = id;
    if (runId.empty()) {
        const std::vector<std::string> ids = RunIds(folder);
        if (ids.empty())
            return Result::Failed("no run is kept to undo");
        runId = ids.back();
    }
    if (runId.find('/') != std::string::npos)
        return Result::Failed(runId + ": no such run");
    const TDescriptor fd(open(JournalPath(folder, runId).c_str(), O_RDONLY | O_CLOEXEC));
    std::vector<std::uint8_t> raw;
    if (!fd.Valid())
        return Result::Failed(runId + ": no such run");
    if (!ReadWhole(fd.Get(), raw))
        return Result::Failed(runId + ": " + SystemReason(errno));
    const std::optional<JournalFile> file =
        DecodeJournal(std::string(raw.begin(), raw.end()), reason);
    if (!file)
        return Result::Failed(runId + ": " + reason);
    const std::vector<RecordedChange> changes = Changes(*file);

    const auto spread = [&watch](std::size_t count,
                                 const std::function<void(std::size_t, std::size_t)>& work) {
        if (watch.spread)
            watch.spread(count, work);
        else
            work(0, count);
    };
    std::size_t next = 0;
    bool stopped = false;
    while (next < changes.size() && !stopped) {
        // A batch of changes of different files: an earlier change of a file is checked once
        // the later one is undone.
        std::vector<const RecordedChange*> batch;
        std::unordered_set<FileIdentity, FileIdentityHash> files;
        for (; next < changes.size() && batch.size() < kFilesPerBatch; ++next) {
            if (watch.progress && !watch.progress(next, changes.size())) {
                stopped = true;
                break;
            }
            if (!files.insert(changes[next].identity).second)
                break;
            batch.push_back(&changes[next]);
        }
        std::vector<Checked> checked(batch.size());
        spread(batch.size(), [&](std::size_t first, std::size_t last) {
            for (std::size_t i = first; i < last; ++i)
                checked[i] = Check(*batch[i], journal);
        });
        for (std::size_t i = 0; i < batch.size(); ++i) {
            if (!checked[i].held && !checked[i].neverMade)
                left({batch[i]->after.path, kChangedSince});
        }
        // Put back once recorded. A name one file frees may be the name another takes back, and
        // so renames and rewrites go in the order of the changes; the rest are spread.
        const Result recorded = journal ? journal->Sync() : Result::Done();
        std::vector<PutBackOutcome> outcomes(batch.size());
        const auto putBack = [&](std::size_t first, std::size_t last) {
            for (std::size_t i = first; i < last; ++i) {
                if (checked[i].held)
                    outcomes[i] = PutBackHeld(*checked[i].held, recorded, runId, journal);
                // Closed on the thread that put it back.
                checked[i].held.reset();
            }
        };
        if (std::any_of(batch.begin(), batch.end(), [](const RecordedChange* change) {
                return change->before.path != change->after.path || change->contentKept;
            }))
            putBack(0, batch.size());
        else
            spread(batch.size(), putBack);
        for (const PutBackOutcome& outcome : outcomes) {
            if (!outcome.change)
                continue;
            if (!outcome.failure.empty()) {
                left({outcome.from, outcome.failure});
                continue;
            }
            ++restored;
            if (watch.restored)
                watch.restored(outcome.from, outcome.change->before.path);
        }
        if (stopped) {
            for (; next < changes.size(); ++next)
                left({changes[next].after.path, kNotReached});
        }
    }
    return Result::Done();
}

}  // namespace platform
