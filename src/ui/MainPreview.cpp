// The window's side of a preview: it starts one, and shows what arrives. The plans, their counts
// and the rules that end a preview are the core's; the list model draws the planned cells.

#include "ui/Main.h"

namespace ui {

void TMainFormKelvane::btnPreviewClick(engine::RunScope scope) {
    if (core_.BeginPreview(scope))
        pcTymo.setCurrentWidget(&tsFiles);
}

// The model draws each row as it arrives; the bar and the counts follow at the pace of a run's,
// since each repaints itself at once.
void TMainFormKelvane::PreviewRowPlanned(int row) {
    model_.PreviewRowPlanned(row);
    if (MessagesDue()) {
        ShowPreviewProgress();
        pumped_.start();
    }
}

void TMainFormKelvane::PreviewStateChanged() {
    const core::TRunPreview& preview = core_.PreviewShown();
    if (!preview.Active())
        model_.PreviewEnded();
    ShowPreviewProgress();
    EnableRunCommands();
}

void TMainFormKelvane::ShowPreviewProgress() {
    const core::TRunPreview& preview = core_.PreviewShown();
    progress_ = preview.Planning()
                    ? decltype(progress_){preview.PlannedCount(), preview.RowsInScope()}
                    : decltype(progress_){0, progress_.maximum};
    ShowProgress();
    ShowRunReport();
}

}  // namespace ui
