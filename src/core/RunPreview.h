#pragma once
// The window's preview of a run: what a run of one scope would do to the file of each of its
// rows, found out without changing a file. The plans are made on a worker thread, over a
// snapshot of the rows taken when the preview begins, so that a preview of 100,000 files
// never holds up the window; they come back to the owner's thread in batches and stay there
// until the preview ends.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/RowFile.h"
#include "engine/RunOptions.h"
#include "engine/RunRows.h"
#include "engine/RunScope.h"
#include "filelist/ListColumn.h"
#include "find/FindDispatcher.h"
#include "platform/FileSystem.h"

namespace core {

// A row of the run's scope as the worker plans it: nothing of the list is read off its thread.
struct PreviewRow {
    int row = -1;
    engine::RowFile file;
};

// The rows of `scope` in list order, each with its file as a run would open it.
// `rowsJustAdded`: the host's word that each row's look-up still stands (see IRunHost).
std::vector<PreviewRow> PreviewSnapshot(const engine::IRunRows& rows, engine::RunScope scope,
                                        bool rowsJustAdded);

// What the preview found for one row's file.
struct RowPreview {
    // The file could be opened; when it could not, the run would refuse it.
    bool opened = false;
    // The file as it is and as the run would leave it; both empty when it could not be opened.
    platform::FindData now;
    platform::FindData after;
    // The reasons the run would give for what it would refuse, in the order of its steps.
    std::vector<std::string> refusals;
    // The run would write something to the file and refuse nothing.
    bool changes = false;
    // A bit for each planned column (1 << column) whose text would change, worked out with the
    // plan, so that drawing a row formats no text twice.
    std::uint8_t changedTexts = 0;
};

// The columns whose values a preview plans: the name, the three times and the attributes.
bool IsPlannedColumn(filelist::ListColumn column);
// The text a planned column would show after the run, and shows today, exactly as the list
// shows its values; empty for a column that is not planned.
std::string PlannedText(const RowPreview& preview, filelist::ListColumn column);
std::string TodayText(const RowPreview& preview, filelist::ListColumn column);
// Whether the two differ.
bool TextChanges(const RowPreview& preview, filelist::ListColumn column);

// Told on the owner's thread.
class IPreviewEvents {
public:
    virtual ~IPreviewEvents() = default;
    // The plan of `row` arrived.
    virtual void PreviewRowPlanned(int row) = 0;
    // A preview began, planned its last row, or ended.
    virtual void PreviewStateChanged() = 0;
};

class TRunPreview {
public:
    // `dispatcher` brings the worker's batches to the owner's thread; it and `events` outlive
    // the preview.
    TRunPreview(vexfind::IFindDispatcher& dispatcher, IPreviewEvents& events);
    ~TRunPreview();
    TRunPreview(const TRunPreview&) = delete;
    TRunPreview& operator=(const TRunPreview&) = delete;

    // Ends any preview, then plans `rows` (of a list of `rowCount` rows) under `options`,
    // whose dates have passed the run's check. A failure that would end the run ends the
    // planning at its row, as it would end the run there.
    void Begin(engine::RunScope scope, const engine::RunOptions& options,
               std::vector<PreviewRow> rows, int rowCount);
    // Stops the planning and forgets every plan: the list shows its own values again.
    void End();

    // A preview is shown: planning, or planned.
    bool Active() const { return active_; }
    bool Planning() const { return worker_ != nullptr && !planned_; }
    engine::RunScope Scope() const { return scope_; }
    const engine::RunOptions& Options() const { return options_; }
    // The plan of `row`, when it has arrived.
    const RowPreview* Row(int row) const;
    // Whether `row` is in the previewed scope.
    bool InScope(int row) const;

    int PlannedCount() const { return plannedCount_; }
    int RowsInScope() const { return rowsInScope_; }
    int WouldChange() const { return wouldChange_; }
    int WouldRefuse() const { return wouldRefuse_; }
    // "3 files would change, 1 would be refused".
    std::string Summary() const;

private:
    class TWorker;
    friend class TWorker;
    void Take(int row, const RowPreview& preview);
    void Planned();
    void Clear();
    void StopWorker();

    vexfind::IFindDispatcher& dispatcher_;
    IPreviewEvents& events_;
    bool active_ = false;
    bool planned_ = false;
    engine::RunScope scope_ = engine::RunScope::All;
    engine::RunOptions options_;
    // By row: the index of its plan in plans_, -1 before it arrived, -2 outside the scope.
    std::vector<int> planOf_;
    std::vector<RowPreview> plans_;
    int plannedCount_ = 0;
    int rowsInScope_ = 0;
    int wouldChange_ = 0;
    int wouldRefuse_ = 0;
    // Shared with the worker's thread, which may outlive a preview ended from a delivery.
    std::shared_ptr<TWorker> worker_;
    std::thread thread_;
};

}  // namespace core
