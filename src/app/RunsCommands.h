#pragma once
// The command line's journal of runs: the journal a run keeps, and the commands that list,
// forget and undo the runs kept.

#include <memory>
#include <ostream>

#include "app/CliOptions.h"
#include "platform/RunJournal.h"

namespace app {

// Whether the command line asks for one of the commands below rather than a run.
bool AsksForRunsCommand(const CliCommand& command);

// Does --undo, --runs or --forget-runs; the exit status (0, 1 when a file was left as it was,
// 2 when the command was refused and nothing changed).
int RunRunsCommand(const CliCommand& command, std::ostream& out, std::ostream& err);

// The journal of a run about to start; null without one (--no-journal, or a journal folder
// that cannot be written, which is said on `err`: the run goes on without).
std::unique_ptr<platform::TRunJournal> BeginRunJournal(const CliCommand& command,
                                                       std::ostream& err);

}  // namespace app
