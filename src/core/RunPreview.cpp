#include "core/RunPreview.h"

#include <chrono>
#include <utility>

#include "core/RunReport.h"
#include "engine/FilePipeline.h"
#include "filelist/ColumnText.h"
#include "filelist/FileRow.h"
#include "find/ThreadPriority.h"
#include "threads/HandOver.h"

namespace core {

namespace {

// A plan costs about as little as a find of a folder search: a few hundred go in one batch,
// and the list shows them no later than a user would notice. The limit bounds how long one
// batch keeps the window from its events: a row costs the window some ten microseconds, more
// on a loaded machine.
constexpr threads::BatchPace kPreviewPace{.size = 256,
                                          .delay = std::chrono::milliseconds(20),
                                          .limit = 2 * 256,
                                          .pollsPerClockReading = 8};

constexpr int kNotPlannedYet = -1;
constexpr int kOutOfScope = -2;

// One row's plan on its way to the owner; row -1 says that every row is planned.
struct PlannedItem {
    int row = -1;
    RowPreview preview;
};

std::string FileText(const platform::FindData& found, filelist::ListColumn column) {
    using filelist::ListColumn;
    std::string text;
    switch (column) {
        case ListColumn::Name:
            filelist::AppendShownName(found.name, text);
            break;
        case ListColumn::Created:
            text = filelist::CreatedTextOf(found);
            break;
        case ListColumn::Modified:
            text = filelist::ModifiedTextOf(found);
            break;
        case ListColumn::Opened:
            text = filelist::OpenedTextOf(found);
            break;
        case ListColumn::Attributes:
            filelist::AppendAttrText(text, found.attributes);
            break;
        default:
            break;
    }
    return text;
}

}  // namespace

// The worker's side: it owns its own pipeline (a GIF image and a tag reader) and a copy of the
// options, so nothing it touches is shared with a run or with the window.
class TRunPreview::TWorker : public threads::THandOver<PlannedItem> {
public:
    TWorker(vexfind::IFindDispatcher& dispatcher, TRunPreview& owner,
            const engine::RunOptions& options, std::vector<PreviewRow> rows)
        : THandOver([&dispatcher](std::function<void()> call) { dispatcher.Post(std::move(call)); },
                    kPreviewPace),
          owner_(owner),
          rows_(std::move(rows)) {
        changes_.setMask = options.setAttr ? engine::SetAttrMask(options) : 0;
        changes_.Follow(options);
    }

    // The worker's whole life; nothing escapes it.
    void Run() noexcept {
        try {
            // Below the window's thread: on a machine with few cores the preview waits for the
            // window's events, never they for it.
            vexfind::ApplyThreadPriority(vexfind::TThreadPriority::tpLower);
            for (const PreviewRow& row : rows_) {
                if (Poll())
                    break;
                bool endsRun = false;
                Queue(PlanRow(row, endsRun));
                if (endsRun)
                    break;
            }
            Flush();
            SendAlone({});
        } catch (...) {
            Stop();
        }
        Finish();
    }

protected:
    // After a stop the owner has forgotten the preview, and may be gone.
    void Deliver(const PlannedItem& item) override {
        if (Stopping())
            return;
        if (item.row < 0)
            owner_.Planned();
        else
            owner_.Take(item.row, item.preview);
    }

private:
    PlannedItem PlanRow(const PreviewRow& row, bool& endsRun) {
        PlannedItem item{row.row, {}};
        RowPreview& preview = item.preview;
        const engine::OpenedFile opened = engine::OpenForPlan(row.file, changes_.options, folders_);
        if (!opened.handle) {
            preview.refusals.push_back(opened.reason);
            return item;
        }
        const engine::FilePlan plan = pipeline_.Plan(*opened.handle, changes_);
        preview.opened = true;
        preview.now = plan.now;
        preview.after = plan.after;
        for (const engine::PlannedFailure& failure : plan.failures)
            preview.refusals.push_back(failure.reason);
        // A failure that ends the run is the run's to show, not the file's: the plan keeps it
        // apart, and the preview names it with the file.
        endsRun = plan.end && plan.end->endsRun;
        if (endsRun)
            preview.refusals.push_back(plan.end->reason);
        for (int column = 0; column < filelist::kListColumnCount; ++column) {
            const auto listColumn = static_cast<filelist::ListColumn>(column);
            if (IsPlannedColumn(listColumn) &&
                PlannedText(preview, listColumn) != TodayText(preview, listColumn))
                preview.changedTexts |= static_cast<std::uint8_t>(1u << column);
        }
        const bool gifWritten = plan.gif && plan.gif->outcome.ok && plan.gif->comments > 0;
        preview.changes = preview.refusals.empty() && (plan.after != plan.now || gifWritten);
        return item;
    }

    TRunPreview& owner_;
    const std::vector<PreviewRow> rows_;
    // The rows' folders, held open while the preview lasts.
    platform::TOpenFolders folders_;
    engine::FileChanges changes_;
    engine::TFilePipeline pipeline_;
};

std::vector<PreviewRow> PreviewSnapshot(const engine::IRunRows& rows, engine::RunScope scope,
                                        bool rowsJustAdded) {
    std::vector<PreviewRow> snapshot;
    for (int row = 0; row < rows.RowCount(); ++row)
        if (engine::IsRowVisited(scope, rows.IsChecked(row), rows.IsSelected(row)))
            snapshot.push_back({row, {rows.Path(row), rowsJustAdded && rows.FoundAsFile(row)}});
    return snapshot;
}

bool IsPlannedColumn(filelist::ListColumn column) {
    using filelist::ListColumn;
    return column == ListColumn::Name || column == ListColumn::Created ||
           column == ListColumn::Modified || column == ListColumn::Opened ||
           column == ListColumn::Attributes;
}

std::string PlannedText(const RowPreview& preview, filelist::ListColumn column) {
    return FileText(preview.after, column);
}

std::string TodayText(const RowPreview& preview, filelist::ListColumn column) {
    return FileText(preview.now, column);
}

bool TextChanges(const RowPreview& preview, filelist::ListColumn column) {
    return (preview.changedTexts >> static_cast<int>(column) & 1u) != 0;
}

TRunPreview::TRunPreview(vexfind::IFindDispatcher& dispatcher, IPreviewEvents& events)
    : dispatcher_(dispatcher), events_(events) {}

TRunPreview::~TRunPreview() {
    StopWorker();
}

void TRunPreview::Begin(engine::RunScope scope, const engine::RunOptions& options,
                        std::vector<PreviewRow> rows, int rowCount) {
    StopWorker();
    Clear();
    active_ = true;
    scope_ = scope;
    options_ = options;
    // A run that asks for nothing visits no file.
    if (!engine::AsksForChange(options))
        rows.clear();
    planOf_.assign(static_cast<std::size_t>(rowCount), kOutOfScope);
    for (const PreviewRow& row : rows)
        planOf_[static_cast<std::size_t>(row.row)] = kNotPlannedYet;
    rowsInScope_ = static_cast<int>(rows.size());
    // Grown once: moving 100,000 plans to a larger buffer would hold up one batch's delivery.
    plans_.reserve(rows.size());
    worker_ = std::make_shared<TWorker>(dispatcher_, *this, options, std::move(rows));
    thread_ = std::thread([worker = worker_] { worker->Run(); });
    events_.PreviewStateChanged();
}

void TRunPreview::End() {
    if (!active_)
        return;
    StopWorker();
    Clear();
    events_.PreviewStateChanged();
}

const RowPreview* TRunPreview::Row(int row) const {
    if (row < 0 || row >= static_cast<int>(planOf_.size()))
        return nullptr;
    const int plan = planOf_[static_cast<std::size_t>(row)];
    return plan >= 0 ? &plans_[static_cast<std::size_t>(plan)] : nullptr;
}

bool TRunPreview::InScope(int row) const {
    return row >= 0 && row < static_cast<int>(planOf_.size()) &&
           planOf_[static_cast<std::size_t>(row)] != kOutOfScope;
}

std::string TRunPreview::Summary() const {
    return Files(wouldChange_) + " would change, " + std::to_string(wouldRefuse_) +
           " would be refused";
}

void TRunPreview::Take(int row, const RowPreview& preview) {
    planOf_[static_cast<std::size_t>(row)] = static_cast<int>(plans_.size());
    plans_.push_back(preview);
    ++plannedCount_;
    wouldChange_ += preview.changes ? 1 : 0;
    wouldRefuse_ += preview.refusals.empty() ? 0 : 1;
    events_.PreviewRowPlanned(row);
}

void TRunPreview::Planned() {
    planned_ = true;
    events_.PreviewStateChanged();
}

void TRunPreview::Clear() {
    active_ = false;
    planned_ = false;
    planOf_ = {};
    plans_ = {};
    plannedCount_ = rowsInScope_ = wouldChange_ = wouldRefuse_ = 0;
}

void TRunPreview::StopWorker() {
    if (worker_)
        worker_->StopAndEnd(thread_);
    worker_.reset();
}

}  // namespace core
