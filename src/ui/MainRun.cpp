// The window as the core's host and observer: it starts and stops runs, lets events in during
// a run, shows the run's state, progress and messages, and follows the list and the folder
// search.

#include <QCoreApplication>
#include <QMessageBox>
#include <algorithm>

#include "ui/Main.h"
#include "ui/MsgStr.h"
#include "ui/NotChangedBox.h"

namespace ui {

namespace {

constexpr int kStartImage = 14;
constexpr int kStopImage = 13;
// A run lets events in before every file, but no more often than this: often enough for Stop
// and the progress bar to answer at once, seldom enough that a run over many small files is
// not spent in the event loop.
constexpr qint64 kPumpIntervalMs = 15;

}  // namespace

// Any of the seven items starts a run of its scope. While a run is in progress they are
// disabled: Stop, the button or Escape ends it.
void TMainFormKelvane::btnStartStopClick(engine::RunScope scope) {
    if (core_.Idle() && core_.Start(scope))
        ShowPastRuns();
}

void TMainFormKelvane::item_StopClick() {
    core_.Stop();
}

// While a run is in progress the button is a plain Stop: one click ends the run, with no menu
// to open (an open menu would hold the run until it closed).
void TMainFormKelvane::SetStartStopButton(bool running) {
    const std::string_view caption = running ? msg::kStopCaption : msg::btnStartStop;
    btnStartStop.setText(msg::ToQString(caption));
    btnStartStop.setAccessibleName(
        QString::fromStdString(msg::StripAmpersand(std::string(caption))).trimmed());
    btnStartStop.setIcon(QIcon(ilNormal.Image(running ? kStopImage : kStartImage)));
    btnStartStop.setMenu(running ? nullptr : &pmOperate);
    EnableRunCommands();
}

void TMainFormKelvane::EnableRunCommands() {
    const bool idle = core_.Idle();
    for (std::array<QAction, 7>* scopes : {&item_Operate, &item_Preview})
        for (QAction& scope : *scopes)
            scope.setEnabled(RunsMayStart());
    btnPreview.setEnabled(RunsMayStart());
    item_Stop.setEnabled(!idle || core_.PreviewShown().Active());
    item_UndoLastRun.setEnabled(RunsMayStart() && pastRunKept_);
}

// A preview shown takes the report's place: its counts say what the next run would do.
void TMainFormKelvane::ShowRunReport() {
    if (const core::TRunPreview& preview = core_.PreviewShown(); preview.Active()) {
        const QString summary = QString::fromStdString(preview.Summary());
        laRunReport.setText(summary.toHtmlEscaped());
        laRunReport.setAccessibleName(summary);
        laRunReport.setVisible(true);
        PlaceRunReport();
        return;
    }
    const core::TRunReport& report = core_.LastRun();
    laRunReport.setVisible(report.Begun());
    if (!report.Begun())
        return;
    QString text = QString::fromStdString(report.Summary()).toHtmlEscaped();
    if (report.NotChangedCount() > 0)
        text += QStringLiteral("&nbsp;&nbsp;<a href=\"details\">%1</a>")
                    .arg(msg::ToQString(msg::kRunDetails));
    laRunReport.setText(text);
    laRunReport.setAccessibleName(QString::fromStdString(report.Summary()));
    PlaceRunReport();
}

// At the right end of the hint panel, which keeps its left part for the hints.
void TMainFormKelvane::PlaceRunReport() {
    const QRect panel = SB.PanelRect(2);
    const int width = std::min(laRunReport.sizeHint().width(), panel.width());
    laRunReport.setGeometry(panel.right() - width, panel.top(), width, panel.height());
}

void TMainFormKelvane::ShowNotChanged() {
    const core::TRunReport& report = core_.LastRun();
    ShowNotChangedBox(*this, QString::fromStdString(report.Summary()),
                      QString::fromStdString(report.Details()));
}

engine::RunOptions TMainFormKelvane::ReadOptions() {
    return tsParameters.ReadOptions();
}

bool TMainFormKelvane::MessagesDue() const {
    return !pumped_.isValid() || pumped_.elapsed() >= kPumpIntervalMs;
}

void TMainFormKelvane::ProcessMessages() {
    ShowProgress();
    QCoreApplication::processEvents();
    pumped_.start();
}

void TMainFormKelvane::ShowMessage(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, this);
    box.exec();
}

// An error that ended the run: where, why, and how many files it left, as the command line
// says it. The status bar counts the file among those not changed.
void TMainFormKelvane::ShowError(const std::string&, const std::string&, int) {
    ShowRunReport();
    QMessageBox box(QMessageBox::Critical, msg::ToQString(msg::kAppTitle),
                    QString::fromStdString(core_.LastRun().StoppedText()), QMessageBox::Ok, this);
    box.exec();
}

// The core keeps the run's failures; the status bar shows them when the run is over.
void TMainFormKelvane::FileFailed(const std::string&, const std::string&) {}

void TMainFormKelvane::lvFilesChange() {
    SB.Panels()[0].SetText(QString::fromStdString(core_.List().ObjectCountText()));
}

void TMainFormKelvane::RowsInserted(int first, int last) {
    model_.RowsInserted(first, last);
    lvFilesChange();
}

void TMainFormKelvane::RowsRemoved(int first, int last) {
    model_.RowsRemoved(first, last);
    lvFilesChange();
}

// A changed row leaves the number of rows as it was: the count stays.
void TMainFormKelvane::RowChanged(int row, filelist::ListColumn column) {
    model_.RowChanged(row, column);
}

void TMainFormKelvane::RowsMoved() {
    model_.RowsMoved();
}

void TMainFormKelvane::RunStateChanged(bool running) {
    SetStartStopButton(running);
    if (!running)
        ShowRunReport();
    ShowProgress();
    // The first file of a run lets events in at once.
    pumped_.invalidate();
}

void TMainFormKelvane::RunBegins() {
    pcTymo.setCurrentWidget(&tsFiles);
}

// A progress bar repaints itself at once whenever its value shows differently, which would
// cost a run more than its files do: during a run the bar follows at the turns of the event
// loop that the run lets in, and when the run ends.
void TMainFormKelvane::ProgressChanged(int position, int maximum) {
    progress_ = {position, maximum};
    if (core_.Idle())
        ShowProgress();
}

// Qt draws a range of 0 to 0 as "busy", which a run over one row is not.
void TMainFormKelvane::ShowProgress() {
    PB.setMaximum(std::max(progress_.maximum, 1));
    PB.setValue(progress_.position);
}

// A folder search fills the list in the background: no run may start and no parameter change
// until it is done.
void TMainFormKelvane::SearchBusyChanged(bool busy) {
    if (!busy)
        model_.ShowArrivedRows();  // the last finds, without waiting for their batch
    btnStartStop.setEnabled(!busy);
    EnableRunCommands();
    pcTymo.setEnabled(!busy);
    if (busy && !searchCursor_)
        searchCursor_.emplace();
    else if (!busy)
        searchCursor_.reset();
    if (busy || foldersNotSearched_.empty())
        return;
    // A search of "/" by an ordinary user meets hundreds: the first few say enough.
    constexpr std::size_t kFoldersNamed = 20;
    std::string text(msg::kFoldersNotSearched);
    for (std::size_t i = 0; i < foldersNotSearched_.size() && i < kFoldersNamed; ++i)
        text += "\n" + foldersNotSearched_[i];
    if (foldersNotSearched_.size() > kFoldersNamed) {
        text += "\n" + msg::ToQString(msg::kMoreFolders)
                           .arg(foldersNotSearched_.size() - kFoldersNamed)
                           .toStdString();
    }
    foldersNotSearched_.clear();
    // Told once the search has handed over its last find, not from inside its completion.
    QMetaObject::invokeMethod(
        this, [this, text] { ShowMessage(text, std::string(msg::kAppTitle)); },
        Qt::QueuedConnection);
}

void TMainFormKelvane::FolderNotSearched(const std::string& folder, const std::string& reason) {
    foldersNotSearched_.push_back(folder + ": " + reason);
}

}  // namespace ui
