#pragma once
// The application object that every front end drives: it owns the file list, the adder with
// its three folder finders and the run engine, takes commands named for what they do, and
// tells one observer what changed. The window's handlers and kelvane-cli call these commands;
// neither wires engine parts of its own.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/FileAdder.h"
#include "core/KelvaneObserver.h"
#include "core/ListRows.h"
#include "core/PastRuns.h"
#include "core/RunPreview.h"
#include "core/RunReport.h"
#include "engine/RunEngine.h"
#include "filelist/FileList.h"

namespace core {

class TKelvaneCore : private engine::IRunHost,
                     private engine::IRunEvents,
                     private filelist::IFileListObserver,
                     private IPreviewEvents {
public:
    // The host supplies the options and the event loop of a run; the dispatcher brings the
    // finds of a folder search to the owner's thread. Both, and the observer, outlive the core.
    TKelvaneCore(engine::IRunHost& host, IKelvaneObserver& observer,
                 vexfind::IFindDispatcher& dispatcher);
    ~TKelvaneCore() override;
    TKelvaneCore(const TKelvaneCore&) = delete;
    TKelvaneCore& operator=(const TKelvaneCore&) = delete;

    // Adds paths as a drop does, under the rules of `mode` (the window passes AddMode(), a
    // fresh window's mode is FilesOnly). Returns how many rows were added. A front end that
    // will not show the rows may ask for less of each file (FileDetail::Unshown).
    int AddPaths(const std::vector<std::string>& paths, AddFolderMode mode,
                 const PathRefused& refused = {},
                 platform::FileDetail detail = platform::FileDetail::Shown);
    // Searches `folder` and every folder below it in the background; the finds arrive through
    // the dispatcher. The search is busy until it completes.
    void AddFolder(AddFolderMode mode, const std::string& folder);

    // Starts a run over the rows of `scope` and returns when it is over. Refused (false)
    // while a folder search is busy or a run is in progress, and on an empty list.
    bool Start(engine::RunScope scope);
    // What Start(scope) would do, told without changing any file (see TRunEngine::Preview).
    // Refused (false) as Start is.
    bool Preview(engine::RunScope scope, const engine::TRunEngine::PlanFn& planned);
    // Adds `paths` as AddPaths does and runs over every row, the old ones first; each path is
    // looked up as the run comes near it, so that the look-ups overlap the changes. For a
    // front end whose options stay as they are during the run (the command line). Refused
    // (false) as Start is, the paths then added all the same.
    // With `preview`, the run is previewed instead (see Preview).
    bool AddPathsAndRun(const std::vector<std::string>& paths, AddFolderMode mode,
                        const PathRefused& refused = {},
                        platform::FileDetail detail = platform::FileDetail::Shown,
                        const engine::TRunEngine::PlanFn& preview = {});
    // Ends the run or undo in progress between two files; with none in progress, the preview.
    void Stop();

    // From now on every run Start begins, and every undo, keeps a journal so that it can be
    // undone. Where none can be kept, `runAnyway` is asked, with the reason, whether to go on
    // without one. A front end that never calls this (the command line) gives the run its own
    // journal, through the host.
    using RunWithoutJournal = std::function<bool(const std::string& reason)>;
    void KeepJournals(RunWithoutJournal runAnyway) { runAnyway_ = std::move(runAnyway); }
    // Undoes the run `id` kept in the journal (platform::UndoRun) as a run of its own: it tells
    // its state and progress as a run does, lets events in through the host, ends early at
    // Stop, and leaves its report in LastRun(); the rows of the files it put back show them as
    // they are now. False when it did not: refused as Start is (`failure` then empty), or the
    // run could not be undone at all, nothing changed (`failure` says why).
    bool UndoRun(const std::string& id, std::string& failure);
    // Deletes every journal kept; refused while a run or undo is in progress, whose journal
    // would go.
    platform::Result ForgetRuns();
    // The runs kept in the journal now.
    const TPastRuns& PastRuns() { return pastRuns_.Now(); }

    // The window's preview of Start(scope): each row's plan is made in the background and
    // told as it arrives (PreviewRowPlanned); the list stays as it is. Refused (false) as
    // Start is, and when the dates would refuse the run (the message is shown).
    bool BeginPreview(engine::RunScope scope);
    // A preview ends when a run starts, when the list changes (a row added, removed or moved, a
    // value of a row changed, or a mark that takes a row into or out of the previewed scope),
    // when the parameters differ from those it was made with (what it shows is then no longer
    // what Start would do), and at Stop.
    void EndPreview() { preview_.End(); }
    // The front end's word that a parameter control changed.
    void ParametersChanged();
    const TRunPreview& PreviewShown() const { return preview_; }

    // A file that could not be moved to the trash, and why.
    struct TrashFailure {
        std::string path;
        std::string reason;
    };
    // Moves the files and folders of the selected rows to the trash in list order, then removes
    // the row of every one that is gone; a row whose file stays stays too. Returns those that
    // could not be moved (the window names them in one message). The window asks the user
    // first; this does not.
    std::vector<TrashFailure> DeleteSelected();

    // List editing; the file system is not touched.
    int RemoveSelected();
    int RemoveFolderOf(int row);
    void Clear();
    void InvertSelection();
    void InvertChecked();
    void SetChecked(int row, bool checked);
    void SetSelected(int row, bool selected);

    // Sorts the rows once by `column`: ascending, or reversed when the same column is asked
    // for again. `withFolderName` makes Name compare the whole path.
    void Sort(filelist::ListColumn column, bool withFolderName = false);
    filelist::ListColumn SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }

    // What the last run that began with its rows did; kept until the next one begins.
    const TRunReport& LastRun() const { return lastRun_; }

    const filelist::TFileList& List() const { return list_; }
    // No run or undo is in progress.
    bool Idle() const { return engine_.Idle() && !undoing_; }
    bool SearchBusy() const { return searchBusy_; }
    AddFolderMode AddMode() const { return adder_.Mode(); }
    // An add-folder command chooses its mode before its folder, so a cancelled choice of the
    // folder still leaves the mode for the drops and the added files that follow.
    void SetAddMode(AddFolderMode mode) { adder_.SetMode(mode); }
    // Whether the finder of `mode` is still walking, and whether its last search ended early:
    // a find could not be handed over, or the walk itself failed and left the search busy,
    // never to reach its end. Asked while no search of another mode runs.
    bool Searching(AddFolderMode mode) { return adder_.Finder(mode).Searching(); }
    bool SearchFailed(AddFolderMode mode) {
        return adder_.Finder(mode).HandlerError() != nullptr || (searchBusy_ && !Searching(mode));
    }

private:
    // The run's host is the front end's; the core only keeps the report of what the run did.
    engine::RunOptions ReadOptions() override { return host_.ReadOptions(); }
    bool MessagesDue() const override { return host_.MessagesDue(); }
    bool LetsEventsIn() const override { return host_.LetsEventsIn(); }
    void ProcessMessages() override { host_.ProcessMessages(); }
    bool RowsJustAdded() const override { return host_.RowsJustAdded(); }
    platform::TRunJournal* Journal() override {
        return journal_ ? journal_.get() : host_.Journal();
    }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        host_.ShowMessage(text, caption);
    }
    void ShowError(const std::string& path, const std::string& message, int filesLeft) override;
    void FileFailed(const std::string& path, const std::string& reason) override;

    void RunStateChanged(bool running) override { observer_.RunStateChanged(running); }
    void RunBegins() override;
    void ProgressChanged(int position, int maximum) override {
        observer_.ProgressChanged(position, maximum);
    }
    void FileChanged() override { lastRun_.FileChanged(); }
    void SetSearchBusy(bool busy);
    // Whether a run or an undo may start now.
    bool Ready() const { return !searchBusy_ && Idle(); }
    // Begins journal_ for a run of `kind`, when journals are kept; false when none can be and
    // the user will not go on without.
    bool BeginJournal(platform::TRunJournal::Kind kind);
    // The rows at a path in `moved` show the file now at the path it maps to.
    void ReadMovedRows(const std::map<std::string, std::string>& moved);

    // The list's events go to the observer, and end a preview they make untrue.
    void RowsInserted(int first, int last) override;
    void RowsRemoved(int first, int last) override;
    void RowChanged(int row, filelist::ListColumn column) override;
    void RowsMoved() override;
    void PreviewRowPlanned(int row) override { observer_.PreviewRowPlanned(row); }
    void PreviewStateChanged() override { observer_.PreviewStateChanged(); }

    engine::IRunHost& host_;
    IKelvaneObserver& observer_;
    TRunReport lastRun_;
    filelist::TFileList list_;
    TListRows rows_{list_};
    engine::TRunEngine engine_;
    bool searchBusy_ = false;
    // Name, descending: so that the first request for Name sorts ascending.
    filelist::ListColumn sortColumn_ = filelist::ListColumn::Name;
    bool sortAscending_ = false;
    TRunPreview preview_;
    RunWithoutJournal runAnyway_;
    // The journal of the run or undo in progress, while the core keeps one.
    std::unique_ptr<platform::TRunJournal> journal_;
    bool undoing_ = false;
    bool stopUndo_ = false;
    TPastRunsWatch pastRuns_;
    // Last: its finders stop and wait for their workers before the list they fill goes.
    TFileAdder adder_;
};

}  // namespace core
