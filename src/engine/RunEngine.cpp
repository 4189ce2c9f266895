#include "engine/RunEngine.h"

#include <algorithm>

#include "engine/ChangeAhead.h"
#include "engine/DateAssign.h"
#include "platform/Volume.h"

namespace engine {
namespace {

// How far ahead files are opened: enough to keep the worker busy while this thread writes, few
// enough that what was read of a file is still fresh when it is changed.
constexpr std::size_t kRowsAhead = 16;
// How far ahead files are changed: each is read and written at once, so nothing goes stale;
// batches of 32 wake the worker seldom enough that waking it costs little.
constexpr std::size_t kRowsChangedAhead = 64;

}  // namespace

TRunEngine::TRunEngine(IRunRows& rows, IRunHost& host, IRunEvents& events)
    : rows_(rows), host_(host), events_(events) {}

void TRunEngine::Start(RunScope scope) {
    if (idle_ && rows_.RowCount() > 0)
        Run(scope);
}

void TRunEngine::Stop() {
    if (!idle_)
        Finish();
}

void TRunEngine::Run(RunScope scope) {
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
    const std::uint32_t setMask = options.setAttr ? SetAttrMask(options) : 0;
    rowsJustAdded_ = host_.RowsJustAdded();
    // Files are opened ahead from the first file on, with as many threads as its volume wants;
    // where nothing can come between two rows, they are changed ahead too.
    bool ahead = AsksForChange(options) && ChangesOnlyAttributesAndTimes(options);
    const bool changeAhead = ahead && host_.RunsUnattended();
    const FileReads reads = options.dateChange == DateChange::DoNotChange ? FileReads::Attributes
                                                                          : FileReads::Everything;
    std::optional<TOpenAhead> opener;
    std::optional<TChangeAhead> changer;
    int asked = 0;
    const int count = rows_.RowCount();
    progressMax_ = count - 1;
    for (int i = 0; i < count; ++i) {
        host_.ProcessMessages();
        if (idle_)
            return;  // a Stop arrived and has already finished the run
        // Rows removed during the run: nothing is left to visit at this index.
        if (i >= rows_.RowCount())
            break;
        if (!IsRowVisited(scope, rows_.IsChecked(i), rows_.IsSelected(i)))
            continue;
        // Options are read afresh for each file (the window's controls may change meanwhile).
        const RunOptions current = host_.ReadOptions();
        // A file that nothing is asked of is done without a look at it.
        if (!AsksForChange(current)) {
            events_.ProgressChanged(i, progressMax_);
            continue;
        }
        const RowFile file = FileOf(i);
        const std::string& path = file.path;
        // Once a step may rename or rewrite a file, a file opened ahead could be one that step
        // replaces: files are opened in their turn again.
        if (ahead && !ChangesOnlyAttributesAndTimes(current)) {
            ahead = false;
            opener.reset();
        }
        std::optional<ProcessedFile> processed;
        std::optional<OpenedFile> opened;
        if (ahead && changeAhead) {
            if (!changer)
                changer.emplace(kRowsChangedAhead, pipeline_, current, setMask,
                                platform::LookUpThreads(path));
            processed = TakeAhead(*changer, scope, i, file, asked);
        } else if (ahead) {
            if (!opener)
                opener.emplace(kRowsAhead, reads, platform::LookUpThreads(path));
            opened = TakeAhead(*opener, scope, i, file, asked);
        }
        if (!processed)
            processed = pipeline_.ProcessFile(file, current, setMask, std::move(opened));
        Apply(i, processed->update);
        const StepOutcome& ending = processed->outcome;
        if (ending.endsRun) {
            // Back to idle, so that the next pick starts a new run instead of stopping one
            // that only looks active.
            Finish();
            host_.ShowError(path, ending.reason, RowsLeftInScope(scope, i, count));
            return;
        }
        if (ending.ok)
            events_.ProgressChanged(i, progressMax_);
    }
    Finish();
}

template <typename Ahead>
auto TRunEngine::TakeAhead(Ahead& ahead, RunScope scope, int row, const RowFile& file, int& asked)
    -> decltype(ahead.Take(row, file)) {
    asked = std::max(asked, row);
    for (std::size_t room = ahead.Room(); room > 0 && asked < rows_.RowCount(); ++asked) {
        if (IsRowVisited(scope, rows_.IsChecked(asked), rows_.IsSelected(asked))) {
            ahead.Ask(asked, FileOf(asked));
            --room;
        }
    }
    auto taken = ahead.Take(row, file);
    // The rows changed under the run: those after this one are asked for again.
    if (!taken)
        asked = row + 1;
    return taken;
}

void TRunEngine::Apply(int row, const RowUpdate& update) {
    if (update.size)
        rows_.SetSize(row, *update.size);
    if (update.caption)
        rows_.SetCaption(row, *update.caption);
    if (update.attributes)
        rows_.SetAttributes(row, *update.attributes);
    if (update.timesRead)
        rows_.SetTimes(row, update.times);
    for (const RowUpdate::Failure& failure : update.failures)
        host_.FileFailed(failure.path, failure.reason);
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
