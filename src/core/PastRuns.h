#pragma once
// The runs kept in the journal as a front end names them: the last one, which an undo takes
// back, and how many there are and the space they hold.

#include <cstdint>
#include <optional>
#include <string>

namespace core {

struct TPastRun {
    std::string id;
    // When it started, in local time, as the list shows a time.
    std::string started;
    int files = 0;
    // An undo of an earlier run: undoing it does that run again.
    bool isUndo = false;
};

struct TPastRuns {
    // The last run kept; none when there is none.
    std::optional<TPastRun> last;
    int count = 0;
    std::uint64_t bytes = 0;
};

// The runs kept now: they change with every run, undo, and run of the command line.
TPastRuns PastRuns();

// The same, read again only when the journals' folder changed since the last look: a front end
// asks each time a menu opens, and the journals of large runs take long to read.
class TPastRunsWatch {
public:
    const TPastRuns& Now();

private:
    std::optional<std::uint64_t> stamp_;
    TPastRuns runs_;
};

// "Past runs kept: 3 runs, 1.2 MB"; "Past runs kept: none".
std::string PastRunsText(const TPastRuns& runs);

// A number of bytes as a person reads it: "512 bytes", "12 kB", "1.2 MB", "3.4 GB" (powers of
// 1000, the decimal point of the locale).
std::string SpaceText(std::uint64_t bytes);

}  // namespace core
