#include "engine/ChangeAhead.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace engine {
namespace {

// Files recorded with one sync: a data sync costs a millisecond or more on a disk, a file's
// change a few microseconds. The first batches are small, so that a worker starts soon, and
// each is twice the one before up to this size.
constexpr std::size_t kJournalBatch = 512;
constexpr std::size_t kFirstJournalBatch = 32;

// The largest batch: as many files as the process may hold open over the batches changed at
// once, one on each thread (the rows kept out beyond those hold no file), beside the files it
// holds for other ends.
std::size_t LargestBatch(const platform::TRunJournal* journal, std::size_t threads) {
    if (!journal)
        return 1;
    constexpr std::size_t kOtherFilesOpen = 256;
    const std::size_t room =
        platform::TFileHandle::MakeRoomFor(kJournalBatch * threads + kOtherFilesOpen);
    return std::clamp<std::size_t>((room - std::min(room, kOtherFilesOpen)) / threads, 1,
                                   kJournalBatch);
}

// The worker threads: one more where a worker waits on its batch's sync.
int WorkersFor(int workers, const platform::TRunJournal* journal) {
    return workers + (journal ? 1 : 0);
}

}  // namespace

TChangeAhead::TChangeAhead(TFilePipeline& pipeline, int workers, platform::TRunJournal* journal,
                           bool eventsBetween)
    : pipeline_(pipeline),
      // The workers change batches, and so does the run's thread while it waits.
      largestBatch_(
          LargestBatch(journal, static_cast<std::size_t>(WorkersFor(workers, journal)) + 1)),
      // Where nothing waits for them, enough that the workers never run out of rows while the
      // run's thread changes a batch of its own.
      batchesOut_(eventsBetween ? 4 : 16),
      batchSize_(std::min(kFirstJournalBatch, largestBatch_)),
      // Unbounded: the run decides how many rows it hands over before it takes one back.
      files_(
          std::numeric_limits<std::size_t>::max(),
          [this](const Batch& batch) { return Change(batch); }, WorkersFor(workers, journal)) {}

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
    batchSize_ = std::min(batchSize_ * 2, largestBatch_);
    // Made once for the batch, rather than grown (and moved) row by row.
    pending_.rows.reserve(batchSize_);
    pending_.requests.reserve(batchSize_);
}

ChangedRow TChangeAhead::TakeFirst() {
    // Taken back even if its work threw: the exception leaves the run, and the rows with it.
    --handed_;
    if (taken_.empty()) {
        if (batchesTaken_ == batchesAsked_) {
            // The last rows of the run: in two halves, one for a worker and one for this
            // thread, which would otherwise wait.
            if (pending_.rows.size() > kFirstJournalBatch) {
                const std::size_t half = pending_.rows.size() / 2;
                Batch second;
                second.rows.assign(pending_.rows.begin() + half, pending_.rows.end());
                second.requests.assign(std::make_move_iterator(pending_.requests.begin() + half),
                                       std::make_move_iterator(pending_.requests.end()));
                pending_.rows.resize(half);
                pending_.requests.resize(half);
                AskPending();
                pending_ = std::move(second);
            }
            AskPending();
        }
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
    prepared.reserve(batch.requests.size());
    held.reserve(batch.requests.size());
    platform::TRunJournal* journal =
        batch.requests.empty() ? nullptr : batch.requests.front().changes.journal;
    const auto changeHeld = [&] {
        const platform::Result recorded = journal ? journal->Sync() : platform::Result::Done();
        for (auto& [index, file] : prepared)
            processed[index].processed =
                pipeline_.Apply(std::move(file), batch.requests[index].changes, recorded);
        prepared.clear();
        inHand_.Release(held);
        held.clear();
    };
    // Let go whatever the steps do, an exception included.
    struct LetGo {
        TFilesInHand& inHand;
        std::vector<platform::FileIdentity>& held;
        ~LetGo() { inHand.Release(held); }
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
            // Held by another thread, or by this one (a file named twice in the batch): what
            // this thread holds is changed and let go first, so that no two threads ever wait
            // for each other, and a file named twice is changed the second time once the first
            // change is made.
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
            pipeline_.Record(prepared.back().second, request.changes);
            break;
        }
    }
    changeHeld();
    return processed;
}

}  // namespace engine
