#include "engine/ChangeAhead.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace engine {
namespace {

// Files recorded with one sync: a data sync costs milliseconds on a disk, a file's change a few
// microseconds.
constexpr std::size_t kJournalBatch = 512;

}  // namespace

TChangeAhead::TChangeAhead(TFilePipeline& pipeline, int workers, platform::TRunJournal* journal)
    : pipeline_(pipeline),
      batchSize_(journal ? kJournalBatch : 1),
      // Unbounded: the run decides how many rows it hands over before it takes one back.
      files_(
          std::numeric_limits<std::size_t>::max(),
          [this](const Batch& batch) { return Change(batch); }, workers) {}

void TChangeAhead::Hand(int row, RowFile file, const FileChanges& changes) {
    pending_.rows.push_back(row);
    pending_.requests.push_back({std::move(file), changes});
    ++handed_;
    if (pending_.rows.size() >= batchSize_)
        AskPending();
}

void TChangeAhead::AskPending() {
    if (pending_.rows.empty())
        return;
    files_.Ask(batchesAsked_++, std::move(pending_));
    pending_ = {};
}

ChangedRow TChangeAhead::TakeFirst() {
    // Taken back even if its work threw: the exception leaves the run, and the rows with it.
    --handed_;
    if (taken_.empty()) {
        if (batchesTaken_ == batchesAsked_)
            AskPending();
        ++batchesTaken_;
        auto [key, changed] = files_.TakeFirst();
        (void)key;
        for (ChangedRow& row : changed)
            taken_.push_back(std::move(row));
    }
    ChangedRow changed = std::move(taken_.front());
    taken_.pop_front();
    return changed;
}

std::vector<ChangedRow> TChangeAhead::Change(const Batch& batch) {
    std::vector<ChangedRow> processed(batch.requests.size());
    for (std::size_t i = 0; i < processed.size(); ++i)
        processed[i].row = batch.rows[i];
    // The files of the batch held, prepared and not yet changed.
    std::vector<std::pair<std::size_t, PreparedFile>> prepared;
    std::vector<platform::FileIdentity> held;
    platform::TRunJournal* journal =
        batch.requests.empty() ? nullptr : batch.requests.front().changes.journal;
    const auto changeHeld = [&] {
        const platform::Result recorded = journal ? journal->Sync() : platform::Result::Done();
        for (auto& [index, file] : prepared)
            processed[index].processed =
                pipeline_.Apply(file, batch.requests[index].changes, recorded);
        prepared.clear();
        for (const platform::FileIdentity& file : held)
            inHand_.Release(file);
        held.clear();
    };
    // Let go whatever the steps do, an exception included.
    struct LetGo {
        TFilesInHand& inHand;
        std::vector<platform::FileIdentity>& held;
        ~LetGo() {
            for (const platform::FileIdentity& file : held)
                inHand.Release(file);
        }
    } letGo{inHand_, held};
    for (std::size_t i = 0; i < batch.requests.size(); ++i) {
        const ChangeRequest& request = batch.requests[i];
        for (;;) {
            const std::uint64_t since = inHand_.LetGo();
            OpenedFile opened = OpenRowFile(request.file, &folders_);
            if (!opened.handle) {
                prepared.emplace_back(
                    i, pipeline_.Prepare(request.file, request.changes, std::move(opened)));
                break;
            }
            const platform::FileIdentity file = opened.handle->Identity();
            // A file named twice in the batch is changed the second time once the first change
            // is made.
            if (std::find(held.begin(), held.end(), file) != held.end()) {
                changeHeld();
                continue;
            }
            TFilesInHand::Try tried = inHand_.TryHold(file, since);
            if (tried == TFilesInHand::Try::Busy) {
                changeHeld();
                tried =
                    inHand_.Hold(file, since) ? TFilesInHand::Try::Held : TFilesInHand::Try::Stale;
            }
            if (tried == TFilesInHand::Try::Stale)
                continue;
            held.push_back(file);
            prepared.emplace_back(
                i, pipeline_.Prepare(request.file, request.changes, std::move(opened)));
            break;
        }
    }
    changeHeld();
    return processed;
}

}  // namespace engine
