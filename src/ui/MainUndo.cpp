// Taking runs back: Edit > Undo Last Run, named after the run it would undo, and the past runs
// on the Settings page, which can be forgotten.

#include "ui/Main.h"
#include "ui/MsgStr.h"

namespace ui {

namespace {

// A template of the table with the run's start and how many files it changed.
QString NamingRun(std::string_view text, const core::TPastRun& run) {
    return msg::ToQString(text).arg(QString::fromStdString(run.started),
                                    QString::fromStdString(core::Files(run.files)));
}

}  // namespace

void TMainFormKelvane::ShowPastRuns() {
    const core::TPastRuns& runs = core_.PastRuns();
    pastRunKept_ = runs.last.has_value();
    item_UndoLastRun.setStatusTip(
        !runs.last
            ? msg::ToQString(msg::kNoRunKept)
            : NamingRun(runs.last->isUndo ? msg::kUndoUndoHint : msg::kUndoRunHint, *runs.last));
    EnableRunCommands();
    tsSettings.SetPastRuns(QString::fromStdString(core::PastRunsText(runs)),
                           runs.count > 0 && core_.Idle());
}

// The run named in the question is the one undone, even if another was kept meanwhile.
void TMainFormKelvane::item_UndoLastRunClick() {
    const std::optional<core::TPastRun> last = core_.PastRuns().last;
    if (!last || !RunsMayStart()) {
        ShowPastRuns();
        return;
    }
    const core::TPastRun& run = *last;
    if (!chooser_.Confirm(
            *this, msg::ToQString(msg::kUndoTitle),
            NamingRun(run.isUndo ? msg::kUndoUndoQuestion : msg::kUndoRunQuestion, run)))
        return;
    std::string failure;
    if (core_.UndoRun(run.id, failure)) {
        // Every file left as it was, in one list the user can read and copy.
        if (core_.LastRun().NotChangedCount() > 0)
            ShowNotChanged();
    } else if (!failure.empty()) {
        ShowMessage(
            msg::ToQString(msg::kCannotUndo).arg(QString::fromStdString(failure)).toStdString(),
            std::string(msg::kAppTitle));
    }
    ShowPastRuns();
}

void TMainFormKelvane::btnForgetRunsClick() {
    if (!chooser_.Confirm(*this, msg::ToQString(msg::kForgetRunsTitle),
                          msg::ToQString(msg::kForgetRunsQuestion)))
        return;
    if (const platform::Result forgot = core_.ForgetRuns(); !forgot)
        ShowMessage(msg::ToQString(msg::kForgetRunsFailed)
                        .arg(QString::fromStdString(forgot.Reason()))
                        .toStdString(),
                    std::string(msg::kAppTitle));
    ShowPastRuns();
}

}  // namespace ui
