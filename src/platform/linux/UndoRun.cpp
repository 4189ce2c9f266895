// Undoing a run from its journal: each file the run changed gets back what it was, as long as
// nobody changed it since.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <map>

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

    std::vector<HeldFile> held;
    const auto putBack = [&] {
        const Result synced = journal ? journal->Sync() : Result::Done();
        for (HeldFile& file : held) {
            if (!synced) {
                left({file.handle.Path(), synced.Reason()});
                continue;
            }
            const std::string from = file.handle.Path();
            std::string keepOldAs;
            if (journal && file.change->contentKept)
                keepOldAs = journal->KeptPath(file.number, reason);
            const Result put = journal && file.change->contentKept && keepOldAs.empty()
                                   ? Result::Failed(reason)
                                   : PutBack(file.handle, *file.change, runId, keepOldAs);
            if (!put) {
                left({from, put.Reason() + "; left as it is"});
                continue;
            }
            ++restored;
            if (watch.restored)
                watch.restored(from, file.change->before.path);
            if (const std::optional<FileState> now = file.handle.JournalState(); journal && now)
                journal->Add(
                    {JournalEntryKind::Done, file.number, file.handle.Identity(), {}, *now});
        }
        held.clear();
    };
    for (std::size_t done = 0; done < changes.size(); ++done) {
        const RecordedChange& change = changes[done];
        if (watch.progress && !watch.progress(done, changes.size())) {
            for (std::size_t later = done; later < changes.size(); ++later)
                left({changes[later].after.path, kNotReached});
            break;
        }
        // An earlier change of a file held is checked once the later one is undone.
        if (std::any_of(held.begin(), held.end(), [&](const HeldFile& file) {
                return file.change->identity == change.identity;
            }))
            putBack();
        if (NeverMade(change))
            continue;
        std::optional<TFileHandle> handle = OpenChanged(change);
        std::optional<FileState> now;
        if (handle && handle->Identity() == change.identity && handle->LockForChange())
            now = handle->JournalState();
        if (!now || !StillAsLeft(*now, change)) {
            left({change.after.path, kChangedSince});
            continue;
        }
        const std::uint64_t number = journal ? journal->NextNumber() : 0;
        if (journal)
            journal->Add({JournalEntryKind::Intent, number, change.identity, *now, change.before,
                          change.contentKept});
        held.push_back({std::move(*handle), &change, number});
        if (held.size() == kFilesPerBatch)
            putBack();
    }
    putBack();
    return Result::Done();
}

}  // namespace platform
