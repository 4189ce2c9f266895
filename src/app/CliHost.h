#pragma once
// The command line's side of a run: fixed options, no event loop, every failure named on
// standard error.

#include <ostream>

#include "engine/RunHost.h"

namespace app {

class TCliHost : public engine::IRunHost {
public:
    TCliHost(const engine::RunOptions& options, std::ostream& errors)
        : options_(options), errors_(errors) {}

    engine::RunOptions ReadOptions() override { return options_; }
    void ProcessMessages() override {}
    void RunStateChanged(bool) override {}
    void ShowFileListPage() override {}
    void SetProgressMax(int) override {}
    void SetProgressPosition(int) override {}
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void ShowError(const std::string& path, const std::string& message) override;
    void FileFailed(const std::string& path, const std::string& reason) override;

    // A message refused the run before it started.
    bool Refused() const { return refused_; }
    // Some change could not be made.
    bool Failed() const { return failed_; }

private:
    engine::RunOptions options_;
    std::ostream& errors_;
    bool refused_ = false;
    bool failed_ = false;
};

}  // namespace app
