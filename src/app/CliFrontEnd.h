#pragma once
// The command line's side of the application core: fixed options, no event loop, every file
// that could not be changed named on standard error.

#include <ostream>

#include "core/KelvaneObserver.h"
#include "engine/RunHost.h"

namespace app {

class TCliFrontEnd : public engine::IRunHost, public core::IKelvaneObserver {
public:
    // `journal`: where the run records its changes, or null.
    TCliFrontEnd(const engine::RunOptions& options, std::ostream& errors,
                 platform::TRunJournal* journal = nullptr)
        : options_(options), errors_(errors), journal_(journal) {}

    // The run's host.
    engine::RunOptions ReadOptions() override { return options_; }
    bool MessagesDue() const override { return false; }
    bool LetsEventsIn() const override { return false; }
    void ProcessMessages() override {}
    bool RowsJustAdded() const override { return true; }
    platform::TRunJournal* Journal() override { return journal_; }
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void ShowError(const std::string& path, const std::string& message, int filesLeft) override;
    void FileFailed(const std::string& path, const std::string& reason) override;

    // Nothing on a terminal follows the rows, the progress or the search state.
    void RowsInserted(int, int) override {}
    void RowsRemoved(int, int) override {}
    void RowChanged(int, filelist::ListColumn) override {}
    void RowsMoved() override {}
    void RunStateChanged(bool) override {}
    void RunBegins() override {}
    void ProgressChanged(int, int) override {}
    void SearchBusyChanged(bool) override {}
    void FolderNotSearched(const std::string& folder, const std::string& reason) override;

    // Names a path that could not be added or changed.
    void Complain(const std::string& path, const std::string& reason);

    // A message refused the run before it started.
    bool Refused() const { return refused_; }
    // Some path could not be added, or some change could not be made.
    bool Failed() const { return failed_; }

private:
    engine::RunOptions options_;
    std::ostream& errors_;
    platform::TRunJournal* journal_;
    bool refused_ = false;
    bool failed_ = false;
};

}  // namespace app
