// The core's part in taking runs back: the journal each run keeps, and the undo of a run kept,
// which is a run of its own.

#include "core/KelvaneCore.h"
#include "platform/FileSystem.h"
#include "threads/Spread.h"
#include "threads/ThreadBudget.h"

namespace core {

bool TKelvaneCore::BeginJournal(platform::TRunJournal::Kind kind) {
    if (!runAnyway_)
        return true;
    std::string reason;
    journal_ = platform::TRunJournal::Begin(kind, reason);
    return journal_ || runAnyway_(reason);
}

bool TKelvaneCore::UndoRun(const std::string& id, std::string& failure) {
    failure.clear();
    if (!Ready())
        return false;
    preview_.End();
    if (!BeginJournal(platform::TRunJournal::Kind::Undo))
        return false;
    undoing_ = true;
    stopUndo_ = false;
    observer_.RunStateChanged(true);
    observer_.RunBegins();
    TRunReport report;
    report.Begin();
    std::map<std::string, std::string> moved;
    platform::UndoWatch watch;
    watch.progress = [this](std::size_t done, std::size_t total) {
        observer_.ProgressChanged(static_cast<int>(done), static_cast<int>(total));
        if (host_.MessagesDue())
            host_.ProcessMessages();
        return !stopUndo_;
    };
    watch.restored = [&](const std::string& from, const std::string& to) {
        report.FileChanged();
        moved[from] = to;
    };
    threads::TSpread spread(threads::Workers(threads::Use::Run, threads::Answers::FromThisMachine));
    watch.spread = std::ref(spread);
    std::size_t restored = 0;
    const platform::Result undone = platform::UndoRun(
        id, journal_.get(),
        [&report](const platform::UndoneFile& file) { report.FileFailed(file.path, file.reason); },
        restored, watch);
    // What the last files now hold is written before anyone may look for this undo.
    journal_.reset();
    undoing_ = false;
    if (undone) {
        lastRun_ = std::move(report);
        ReadMovedRows(moved);
        observer_.ProgressChanged(0, 0);
    } else {
        failure = undone.Reason();
    }
    observer_.RunStateChanged(false);
    return undone.Ok();
}

void TKelvaneCore::ReadMovedRows(const std::map<std::string, std::string>& moved) {
    for (int row = 0; row < list_.RowCount() && !moved.empty(); ++row) {
        const auto to = moved.find(list_.Path(row));
        if (to == moved.end())
            continue;
        const std::optional<platform::FindData> found =
            platform::FindPath(to->second, platform::LinkRule::NoFollow);
        if (!found)
            continue;
        if (found->name != list_.Row(row).caption)
            list_.SetCaption(row, found->name);
        list_.SetSize(row, static_cast<std::int64_t>(found->size));
        list_.SetAttributes(row, found->attributes);
        list_.SetTimes(row, found);
    }
}

platform::Result TKelvaneCore::ForgetRuns() {
    if (!Idle())
        return platform::Result::Failed("a run is in progress");
    return platform::ForgetRuns();
}

}  // namespace core
