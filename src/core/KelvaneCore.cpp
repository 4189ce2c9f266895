#include "core/KelvaneCore.h"

#include <exception>

#include "engine/DateAssign.h"
#include "engine/RunOptions.h"
#include "filelist/Sorting.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "threads/ThreadBudget.h"

namespace core {

TKelvaneCore::TKelvaneCore(engine::IRunHost& host, IKelvaneObserver& observer,
                           vexfind::IFindDispatcher& dispatcher)
    : host_(host),
      observer_(observer),
      engine_(rows_, *this, *this),
      preview_(dispatcher, *this),
      adder_(
          list_, dispatcher, [this](bool busy) { SetSearchBusy(busy); },
          [this](const std::string& folder, const std::string& reason) {
              observer_.FolderNotSearched(folder, reason);
          }) {
    list_.SetObserver(static_cast<filelist::IFileListObserver*>(this));
}

TKelvaneCore::~TKelvaneCore() {
    list_.SetObserver(nullptr);
}

int TKelvaneCore::AddPaths(const std::vector<std::string>& paths, AddFolderMode mode,
                           const PathRefused& refused, platform::FileDetail detail) {
    return adder_.AddPaths(paths, mode, refused, detail);
}

void TKelvaneCore::AddFolder(AddFolderMode mode, const std::string& folder) {
    adder_.AddFolder(mode, folder);
}

bool TKelvaneCore::Start(engine::RunScope scope) {
    if (!Ready() || list_.RowCount() == 0)
        return false;
    preview_.End();
    // A run that asks for no change has none to record.
    if (engine::AsksForChange(host_.ReadOptions()) &&
        !BeginJournal(platform::TRunJournal::Kind::Run))
        return false;
    engine_.Start(scope);
    journal_.reset();
    return true;
}

bool TKelvaneCore::Preview(engine::RunScope scope, const engine::TRunEngine::PlanFn& planned) {
    if (!Ready() || list_.RowCount() == 0)
        return false;
    return engine_.Preview(scope, planned);
}

bool TKelvaneCore::AddPathsAndRun(const std::vector<std::string>& paths, AddFolderMode mode,
                                  const PathRefused& refused, platform::FileDetail detail,
                                  const engine::TRunEngine::PlanFn& preview) {
    if (!Ready()) {
        AddPaths(paths, mode, refused, detail);
        return false;
    }
    if (paths.empty())
        return preview ? Preview(engine::RunScope::All, preview) : Start(engine::RunScope::All);
    preview_.End();
    TAddingPaths adding(list_, paths, mode, refused, detail,
                        threads::Workers(threads::Use::AddDuringRun, paths.front()));
    // An error while adding waits for the end of the run, which then has no more rows: every
    // row already out is taken back, and its failures named, before the error leaves.
    std::exception_ptr error;
    const auto addMore = [&adding, &error] {
        try {
            return adding.AddMore();
        } catch (...) {
            error = std::current_exception();
            return false;
        }
    };
    const engine::RowFeed feed{static_cast<int>(paths.size()), addMore};
    if (preview)
        engine_.Preview(engine::RunScope::All, preview, feed);
    else
        engine_.Start(engine::RunScope::All, feed);
    if (error)
        std::rethrow_exception(error);
    // A run refused or stopped leaves paths unadded; they are added all the same, as they
    // would have been before a run that stopped there.
    while (adding.AddMore()) {
    }
    return true;
}

void TKelvaneCore::Stop() {
    if (undoing_)
        stopUndo_ = true;
    else if (engine_.Idle())
        preview_.End();
    else
        engine_.Stop();
}

bool TKelvaneCore::BeginPreview(engine::RunScope scope) {
    if (!Ready() || list_.RowCount() == 0)
        return false;
    const engine::RunOptions options = host_.ReadOptions();
    if (!engine::ValidateDates(options,
                               [this](const std::string& text, const std::string& caption) {
                                   host_.ShowMessage(text, caption);
                               })) {
        return false;
    }
    preview_.Begin(scope, options, PreviewSnapshot(rows_, scope, host_.RowsJustAdded()),
                   list_.RowCount());
    return true;
}

void TKelvaneCore::ParametersChanged() {
    if (preview_.Active() && host_.ReadOptions() != preview_.Options())
        preview_.End();
}

void TKelvaneCore::RowsInserted(int first, int last) {
    observer_.RowsInserted(first, last);
    preview_.End();
}

void TKelvaneCore::RowsRemoved(int first, int last) {
    observer_.RowsRemoved(first, last);
    preview_.End();
}

// A check mark or a selection counts as a change of the Name column: it matters only when it
// takes the row into or out of the scope.
void TKelvaneCore::RowChanged(int row, filelist::ListColumn column) {
    observer_.RowChanged(row, column);
    if (!preview_.Active())
        return;
    const bool marks = column == filelist::ListColumn::Name &&
                       engine::IsRowVisited(preview_.Scope(), list_.IsChecked(row),
                                            list_.IsSelected(row)) == preview_.InScope(row);
    if (!marks)
        preview_.End();
}

void TKelvaneCore::RowsMoved() {
    observer_.RowsMoved();
    preview_.End();
}

std::vector<TKelvaneCore::TrashFailure> TKelvaneCore::DeleteSelected() {
    std::vector<TrashFailure> failures;
    std::vector<bool> gone(static_cast<std::size_t>(list_.RowCount()), false);
    for (int row = 0; row < list_.RowCount(); ++row) {
        if (!list_.IsSelected(row))
            continue;
        const std::string path = list_.Path(row);
        if (const platform::Result trashed = platform::MoveToTrash(path); !trashed)
            failures.push_back({path, trashed.Reason()});
        // Whatever the trash said, only a file that is really gone loses its row.
        gone[static_cast<std::size_t>(row)] =
            !platform::FindPath(path, platform::LinkRule::NoFollow);
    }
    list_.RemoveRows(gone);
    return failures;
}

int TKelvaneCore::RemoveSelected() {
    return list_.RemoveSelected();
}

int TKelvaneCore::RemoveFolderOf(int row) {
    return list_.RemoveFolderOf(row);
}

void TKelvaneCore::Clear() {
    list_.Clear();
}

void TKelvaneCore::InvertSelection() {
    list_.InvertSelection();
}

void TKelvaneCore::InvertChecked() {
    list_.InvertChecked();
}

void TKelvaneCore::SetChecked(int row, bool checked) {
    list_.SetChecked(row, checked);
}

void TKelvaneCore::SetSelected(int row, bool selected) {
    list_.SetSelected(row, selected);
}

void TKelvaneCore::Sort(filelist::ListColumn column, bool withFolderName) {
    sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
    sortColumn_ = column;
    list_.Reorder(
        filelist::SortedOrder(list_.Rows(), {sortColumn_, sortAscending_, withFolderName}));
}

void TKelvaneCore::RunBegins() {
    lastRun_.Begin();
    observer_.RunBegins();
}

void TKelvaneCore::FileFailed(const std::string& path, const std::string& reason) {
    lastRun_.FileFailed(path, reason);
    host_.FileFailed(path, reason);
}

void TKelvaneCore::ShowError(const std::string& path, const std::string& message, int filesLeft) {
    lastRun_.RunStopped(path, message, filesLeft);
    host_.ShowError(path, message, filesLeft);
}

void TKelvaneCore::SetSearchBusy(bool busy) {
    searchBusy_ = busy;
    observer_.SearchBusyChanged(busy);
}

}  // namespace core
