#pragma once
// The command line of kelvane-cli, read into the same RunOptions the window fills.

#include <string>
#include <vector>

#include "engine/RunOptions.h"

namespace app {

struct CliCommand {
    engine::RunOptions options;
    std::vector<std::string> paths;  // in the order given
    bool list = false;
};

struct CliParseResult {
    enum class Kind { Run, Exit } kind = Kind::Run;
    int exitCode = 0;       // for Exit: 0 after --help or --version, 2 for a bad command line
    std::string output;     // for Exit: what to print (standard output for 0, error otherwise)
    CliCommand command;     // for Run
};

CliParseResult ParseCommandLine(int argc, const char* const* argv);

}  // namespace app
