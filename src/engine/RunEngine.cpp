#include "engine/RunEngine.h"

#include <algorithm>
#include <deque>
#include <limits>

#include "engine/ChangeAhead.h"
#include "engine/DateAssign.h"
#include "threads/ThreadBudget.h"
#include "threads/WorkAhead.h"

namespace engine {
namespace {

// How many rows may be handed over and not yet taken back: enough that the workers always have
// one to do while the run's thread brings rows up to date, few enough that taking them all back
// before events run is a moment's work.
constexpr std::size_t kRowsHandedOver = 64;

// A row's file as a preview found it: its plan, or why it could not be opened.
struct PlannedFile {
    std::optional<FilePlan> plan;
    std::string openFailure;
};

}  // namespace

TRunEngine::TRunEngine(IRunRows& rows, IRunHost& host, IRunEvents& events)
    : rows_(rows), host_(host), events_(events) {}

void TRunEngine::Start(RunScope scope, RowFeed feed) {
    // Every path of the feed counts as a row: the bar may end short of its maximum.
    const int count = rows_.RowCount() + feed.rowsToCome;
    if (idle_ && ReachRow(0, feed))
        Run(scope, count, feed);
}

void TRunEngine::Stop() {
    if (!idle_)
        Finish();
}

void TRunEngine::Run(RunScope scope, int count, RowFeed& feed) {
    idle_ = false;
    events_.RunStateChanged(true);
    const RunOptions options = host_.ReadOptions();
    if (!ValidateDates(options, [this](const std::string& text, const std::string& caption) {
            host_.ShowMessage(text, caption);
        })) {
        Finish();
        return;
    }
    events_.RunBegins();
    FileChanges changes;
    changes.setMask = options.setAttr ? SetAttrMask(options) : 0;
    changes.journal = host_.Journal();
    rowsJustAdded_ = host_.RowsJustAdded();
    // Rows whose steps change only attributes and times are handed to workers in their turn.
    std::optional<TChangeAhead> ahead;
    // The rows done in their turn, under a journal.
    TInTurnBatch inTurn(pipeline_);
    progressMax_ = count - 1;
    for (int i = 0; i < count; ++i) {
        if (host_.MessagesDue()) {
            // Events may stop the run, change the options, edit the list or start a search:
            // none of them meets a row still out.
            if (ahead)
                TakeBack(*ahead, 0);
            if (!ChangeBatch(scope, inTurn))
                return;
            host_.ProcessMessages();
            if (idle_)
                return;  // a Stop arrived and has already finished the run
        }
        // Rows removed during the run, or fewer fed than might have been: nothing is left to
        // visit at this index.
        if (!ReachRow(i, feed))
            break;
        if (!IsRowVisited(scope, rows_.IsChecked(i), rows_.IsSelected(i)))
            continue;
        // Options are read afresh for each file (the window's controls may change meanwhile).
        const bool optionsChanged = changes.Follow(host_.ReadOptions());
        const RunOptions& current = changes.options;
        if (AsksForChange(current) && ChangesOnlyAttributesAndTimes(current)) {
            if (!ChangeBatch(scope, inTurn))
                return;
            RowFile file = FileOf(i);
            if (!ahead)
                ahead.emplace(pipeline_, threads::Workers(threads::Use::Run, file.path),
                              changes.journal, host_.LetsEventsIn());
            // The rows out at once ask the same of their files, so that it does not matter
            // which of two rows naming one file is done first.
            if (optionsChanged)
                TakeBack(*ahead, 0);
            ahead->Hand(i, std::move(file), changes);
            TakeBack(*ahead, std::max(kRowsHandedOver, ahead->RowsKeptOut()));
            continue;
        }
        // A step may rename or rewrite a file (another row's, through a link): the rows
        // handed over are done first, and this one is done in its turn. The rows still to
        // come are added first too: a path is looked up before any file is renamed to it.
        if (ahead)
            TakeBack(*ahead, 0);
        ReachRow(std::numeric_limits<int>::max(), feed);
        if (!ProcessInTurn(scope, i, changes, inTurn))
            return;
    }
    if (ahead)
        TakeBack(*ahead, 0);
    if (!ChangeBatch(scope, inTurn))
        return;
    Finish();
}

bool TRunEngine::Preview(RunScope scope, const PlanFn& planned, RowFeed feed) {
    if (!idle_)
        return false;
    const RunOptions options = host_.ReadOptions();
    if (!ValidateDates(options, [this](const std::string& text, const std::string& caption) {
            host_.ShowMessage(text, caption);
        })) {
        return false;
    }
    FileChanges changes;
    changes.setMask = options.setAttr ? SetAttrMask(options) : 0;
    changes.Follow(options);
    rowsJustAdded_ = host_.RowsJustAdded();
    const int count = rows_.RowCount() + feed.rowsToCome;
    // Plans that only read attributes and times use nothing of the pipeline's own and go ahead
    // on workers, as such a run's changes do; the others are made in turn, one file's bytes
    // held at a time.
    const bool ahead = ChangesOnlyAttributesAndTimes(options);
    // Declared before the work-ahead, so that they close after its threads stop.
    platform::TOpenFolders folders;
    std::optional<threads::TWorkAhead<PlannedFile, RowFile>> plans;
    std::deque<int> asked;
    int next = 0;
    int taken = 0;
    while (AsksForChange(options)) {
        // The rows to come are reached as the preview comes near them, as a run reaches them.
        while ((!plans || plans->Room() > 0) && ReachRow(next, feed)) {
            const int row = next++;
            if (!IsRowVisited(scope, rows_.IsChecked(row), rows_.IsSelected(row)))
                continue;
            if (!plans) {
                plans.emplace(
                    ahead ? kRowsHandedOver : 1,
                    [this, &changes, &folders](const RowFile& file) {
                        PlannedFile found;
                        OpenedFile opened = OpenForPlan(file, changes.options, folders);
                        if (opened.handle)
                            found.plan = pipeline_.Plan(*opened.handle, changes);
                        else
                            found.openFailure = std::move(opened.reason);
                        return found;
                    },
                    ahead ? threads::Workers(threads::Use::Run, rows_.Path(row)) : 0);
            }
            plans->Ask(static_cast<int>(asked.size()) + taken, FileOf(row));
            asked.push_back(row);
        }
        if (asked.empty())
            break;
        const int row = asked.front();
        asked.pop_front();
        const RowFile file = FileOf(row);
        const PlannedFile found = *plans->Take(taken++, file);
        if (!found.plan) {
            host_.FileFailed(file.path, found.openFailure);
            continue;
        }
        const FilePlan& plan = *found.plan;
        planned(row, file.path, plan);
        for (const PlannedFailure& failure : plan.failures)
            host_.FileFailed(failure.path, failure.reason);
        if (plan.end && plan.end->endsRun) {
            host_.ShowError(file.path, plan.end->reason, RowsLeftInScope(scope, row, count));
            break;
        }
    }
    // Rows a preview did not reach are added all the same, as a stopped run leaves them.
    ReachRow(std::numeric_limits<int>::max(), feed);
    return true;
}

bool TRunEngine::ReachRow(int index, RowFeed& feed) {
    while (index >= rows_.RowCount()) {
        if (!feed.addMore)
            return false;
        if (!feed.addMore())
            feed.addMore = nullptr;
    }
    return true;
}

bool TRunEngine::ProcessInTurn(RunScope scope, int row, const FileChanges& changes,
                               TInTurnBatch& batch) {
    // A file that nothing is asked of is done without a look at it.
    if (!AsksForChange(changes.options)) {
        if (!ChangeBatch(scope, batch))
            return false;
        events_.ProgressChanged(row, progressMax_);
        return true;
    }
    if (!changes.journal)
        return Report(scope, row, pipeline_.ProcessFile(FileOf(row), changes, std::nullopt));
    // A file that cannot join the batch joins the next one.
    while (!batch.Add(row, FileOf(row), changes)) {
        if (!ChangeBatch(scope, batch))
            return false;
    }
    return !batch.Full() || ChangeBatch(scope, batch);
}

bool TRunEngine::ChangeBatch(RunScope scope, TInTurnBatch& batch) {
    if (batch.Empty())
        return true;
    for (const ChangedRow& changed : batch.Change()) {
        if (!Report(scope, changed.row, changed.processed))
            return false;
    }
    return true;
}

bool TRunEngine::Report(RunScope scope, int row, const ProcessedFile& processed) {
    // The path the row had at its turn, before a rename.
    const std::string path = rows_.Path(row);
    Apply(row, processed.update);
    if (processed.outcome.endsRun) {
        // Back to idle, so that the next pick starts a new run instead of stopping one that
        // only looks active.
        Finish();
        host_.ShowError(path, processed.outcome.reason,
                        RowsLeftInScope(scope, row, progressMax_ + 1));
        return false;
    }
    if (processed.outcome.ok)
        events_.ProgressChanged(row, progressMax_);
    if (processed.outcome.ok && processed.update.failures.empty())
        events_.FileChanged();
    return true;
}

void TRunEngine::TakeBack(TChangeAhead& ahead, std::size_t leave) {
    // Attributes and times never end a run.
    while (ahead.Handed() > leave) {
        const ChangedRow changed = ahead.TakeFirst();
        Report(RunScope::All, changed.row, changed.processed);
    }
}

void TRunEngine::Apply(int row, const RowUpdate& update) {
    for (const RowUpdate::Failure& failure : update.failures)
        host_.FileFailed(failure.path, failure.reason);
    if (update.size)
        rows_.SetSize(row, *update.size);
    if (update.caption)
        rows_.SetCaption(row, *update.caption);
    if (update.attributes)
        rows_.SetAttributes(row, *update.attributes);
    if (update.timesRead)
        rows_.SetTimes(row, update.times);
}

RowFile TRunEngine::FileOf(int row) const {
    return {rows_.Path(row), rowsJustAdded_ && rows_.FoundAsFile(row)};
}

void TRunEngine::Finish() {
    events_.ProgressChanged(0, progressMax_);
    idle_ = true;
    events_.RunStateChanged(false);
}

int TRunEngine::RowsLeftInScope(RunScope scope, int after, int count) const {
    int left = 0;
    for (int i = after + 1; i < count && i < rows_.RowCount(); ++i)
        left += IsRowVisited(scope, rows_.IsChecked(i), rows_.IsSelected(i)) ? 1 : 0;
    return left;
}

}  // namespace engine
