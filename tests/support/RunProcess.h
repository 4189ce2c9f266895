#pragma once
// Runs a program as a user would, through the shell, and captures what it printed.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace testsupport {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// `environment` is a prefix such as "LC_ALL=C TZ=UTC"; the program runs in `workDir`.
inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::string& workDir, const std::string& environment = "") {
    TempDir capture;
    std::string command =
        "cd " + ShellQuote(workDir) + " && env " + environment + " " + ShellQuote(program);
    for (const std::string& arg : args)
        command += " " + ShellQuote(arg);
    command +=
        " >" + ShellQuote(capture / "out") + " 2>" + ShellQuote(capture / "err") + " </dev/null";
    const int status = std::system(command.c_str());
    ProcessResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(capture / "out");
    result.err = ReadFile(capture / "err");
    return result;
}

}  // namespace testsupport
