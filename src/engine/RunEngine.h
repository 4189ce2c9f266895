#pragma once
// The Start/Stop command as an engine without a window: walks the rows in order, picks those
// of the chosen scope, and hands each to the file pipeline.

#include <functional>

#include "engine/ChangeAhead.h"
#include "engine/FilePipeline.h"
#include "engine/InTurnBatch.h"
#include "engine/RunHost.h"
#include "engine/RunRows.h"
#include "engine/RunScope.h"

namespace engine {

// Rows that are added as the run reaches them, at the end of the list: a front end that adds
// paths and runs at once has each path looked up just before its file is changed, and the look-ups
// overlap the changes.
struct RowFeed {
    // How many rows may still come, at most.
    int rowsToCome = 0;
    // Adds the next few rows, possibly none; false once nothing is left to add.
    std::function<bool()> addMore;
};

class TRunEngine {
public:
    TRunEngine(IRunRows& rows, IRunHost& host, IRunEvents& events);

    // Runs over the rows of `scope`, and over those of `feed` after them; returns when the run
    // is over. Does nothing without rows or while a run is in progress. Rows still to come when
    // the run is refused or stopped stay unadded.
    void Start(RunScope scope, RowFeed feed = {});
    // Ends the run in progress between two files (a nested call from the host's event
    // processing); the rows not yet visited stay untouched.
    void Stop();

    // True when no run is in progress.
    bool Idle() const { return idle_; }

    // What a run over the rows of `scope` would do, found out without changing any file: each
    // visited row's plan goes to `planned`, and the host hears every refusal (FileFailed), the
    // message that would refuse the run (ShowMessage) and the error that would end it (ShowError)
    // as the run would give them; the preview ends where the run would. False when a run is in
    // progress or the run would be refused before its first file.
    // The rows of `feed` are added as the preview reaches them, as a run adds them.
    using PlanFn = std::function<void(int row, const std::string& path, const FilePlan& plan)>;
    bool Preview(RunScope scope, const PlanFn& planned, RowFeed feed = {});

private:
    // `count`: the rows listed and to come.
    void Run(RunScope scope, int count, RowFeed& feed);
    // Adds rows from the feed until there is one at `index` (every row still to come, for the
    // largest index); false when there is none.
    bool ReachRow(int index, RowFeed& feed);
    void Finish();
    int RowsLeftInScope(RunScope scope, int after, int count) const;
    // Changes the file of `row` on this thread, in its turn, or (under a journal) adds it to
    // `batch`; false when a failure ended the run.
    bool ProcessInTurn(RunScope scope, int row, const FileChanges& changes, TInTurnBatch& batch);
    // Changes the files of the batch and brings their rows up to date; false when a failure
    // ended the run.
    bool ChangeBatch(RunScope scope, TInTurnBatch& batch);
    // Brings the row up to date with what its file's steps did; false when a failure ended the
    // run, which is then finished and the failure shown.
    bool Report(RunScope scope, int row, const ProcessedFile& processed);
    // Takes back the rows handed over, first to last, until `leave` are left, and brings each
    // up to date.
    void TakeBack(TChangeAhead& ahead, std::size_t leave);
    // Brings the row up to date with what its file's steps learnt, and names their failures.
    void Apply(int row, const RowUpdate& update);
    RowFile FileOf(int row) const;

    IRunRows& rows_;
    IRunHost& host_;
    IRunEvents& events_;
    TFilePipeline pipeline_;
    bool idle_ = true;
    // The host's word for this run: the rows' own look-ups stand for the check before opening.
    bool rowsJustAdded_ = false;
    int progressMax_ = 0;
};

}  // namespace engine
