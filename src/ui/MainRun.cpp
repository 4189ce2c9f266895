// The window as the core's host and observer: it starts and stops runs, lets events in during
// a run, shows the run's state, progress and messages, and follows the list and the folder
// search.

#include <QCoreApplication>
#include <QMessageBox>
#include <algorithm>

#include "ui/Main.h"
#include "ui/MsgStr.h"

namespace ui {

namespace {

constexpr int kStartImage = 14;
constexpr int kStopImage = 13;
// A run lets events in before every file, but no more often than this: often enough for Stop
// and the progress bar to answer at once, seldom enough that a run over many small files is
// not spent in the event loop.
constexpr qint64 kPumpIntervalMs = 15;

}  // namespace

// Any of the seven items starts a run of its scope; while a run is in progress any of them
// stops it.
void TMainFormKelvane::btnStartStopClick(engine::RunScope scope) {
    if (core_.Idle())
        core_.Start(scope);
    else
        core_.Stop();
}

void TMainFormKelvane::SetStartStopButton(bool running) {
    btnStartStop.setText(msg::ToQString(running ? msg::kStopCaption : msg::btnStartStop));
    btnStartStop.setIcon(QIcon(ilNormal.Image(running ? kStopImage : kStartImage)));
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

// As the application's error box shows an error that reached the event loop: the message, with
// the file it happened to.
void TMainFormKelvane::ShowError(const std::string& path, const std::string& message, int) {
    QMessageBox box(QMessageBox::Critical, msg::ToQString(msg::kAppTitle),
                    QString::fromStdString(message), QMessageBox::Ok, this);
    box.setInformativeText(QString::fromStdString(path));
    box.exec();
}

// The window passes over a file it could not change in silence, as it always has.
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
