#include "engine/RunEngine.h"

#include <algorithm>

#include "engine/DateAssign.h"
#include "platform/Volume.h"

namespace engine {
namespace {

// How far ahead files are opened: enough to keep the worker busy while this thread writes, few
// enough that what was read of a file is still fresh when it is changed.
constexpr std::size_t kRowsAhead = 16;

}  // namespace

TRunEngine::TRunEngine(IRunRows& rows, IRunHost& host, IRunEvents& events)
    : rows_(rows), host_(host), events_(events), pipeline_(rows, host) {}

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
    // Files are opened ahead from the first file on, with as many threads as its volume wants.
    bool openAhead = AsksForChange(options) && ChangesOnlyAttributesAndTimes(options);
    const FileReads reads = options.dateChange == DateChange::DoNotChange ? FileReads::Attributes
                                                                          : FileReads::Everything;
    std::optional<TOpenAhead> ahead;
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
        std::optional<OpenedFile> opened;
        // Once a step may rename or rewrite a file, a file opened ahead could be one that step
        // replaces: files are opened in their turn again.
        if (openAhead && !ChangesOnlyAttributesAndTimes(current)) {
            openAhead = false;
            ahead.reset();
        }
        if (openAhead && !ahead)
            ahead.emplace(kRowsAhead, reads, platform::LookUpThreads(path));
        if (ahead)
            opened = TakeOpened(*ahead, scope, i, file, asked);
        const StepOutcome ending =
            pipeline_.ProcessFile(i, file, current, setMask, std::move(opened));
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

std::optional<OpenedFile> TRunEngine::TakeOpened(TOpenAhead& ahead, RunScope scope, int row,
                                                 const RowFile& file, int& asked) {
    asked = std::max(asked, row);
    for (std::size_t room = ahead.Room(); room > 0 && asked < rows_.RowCount(); ++asked) {
        if (IsRowVisited(scope, rows_.IsChecked(asked), rows_.IsSelected(asked))) {
            ahead.Ask(asked, FileOf(asked));
            --room;
        }
    }
    std::optional<OpenedFile> opened = ahead.Take(row, file);
    // The rows changed under the run: those after this one are asked for again.
    if (!opened)
        asked = row + 1;
    return opened;
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
