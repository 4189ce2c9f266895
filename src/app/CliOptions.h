#pragma once
// The command line of kelvane-cli, read into the same RunOptions the window fills.

#include <optional>
#include <string>
#include <vector>

#include "engine/RunOptions.h"
#include "filelist/FileRow.h"
#include "filelist/ListColumn.h"

namespace app {

// One thing to add to the list: a path as a dropped file is added, or a folder to search.
struct AddItem {
    bool searchFolder = false;
    filelist::AddFolderMode mode = filelist::AddFolderMode::FilesOnly;
    std::string path;
};

struct CliCommand {
    engine::RunOptions options;
    std::vector<AddItem> items;  // in the order given
    bool list = false;
    // Columns to sort by after the run, in order; a column given twice in a row reverses the
    // order, as a second click on its header would.
    std::vector<filelist::ListColumn> sorts;
    // Say where each path's attributes and creation time are kept; change nothing.
    bool explain = false;
    // Print what the run would change, file by file, and change nothing.
    bool dryRun = false;
    // Record each change in a journal, so that the run can be undone.
    bool journal = true;
    // Undo a run kept (an empty id: the last one) instead of running.
    std::optional<std::string> undo;
    // List the runs kept, or forget them all, instead of running.
    bool listRuns = false;
    bool forgetRuns = false;
};

struct CliParseResult {
    enum class Kind { Run, Exit } kind = Kind::Run;
    int exitCode = 0;    // for Exit: 0 after --help or --version, 2 for a bad command line
    std::string output;  // for Exit: what to print (standard output for 0, error otherwise)
    CliCommand command;  // for Run
};

CliParseResult ParseCommandLine(int argc, const char* const* argv);

}  // namespace app
