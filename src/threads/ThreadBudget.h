#pragma once
// How many worker threads each kind of background work gets. On two cores one worker keeps the
// other processor busy and more only take turns; where each question waits on another process
// or machine (a FUSE daemon, a server), several keep several questions in flight. Work that
// runs while a run's workers also keep a processor busy gets one fewer.

#include <string>

namespace threads {

enum class Use {
    Search,        // entries looked up ahead of the one a folder search reports
    Add,           // paths looked up ahead of the one added to the list
    Run,           // files changed ahead of the row a run has reached
    AddDuringRun,  // paths looked up ahead while a run changes the files already added
};

// Where the work's files lie, as far as the budget cares.
enum class Answers {
    FromThisMachine,  // each question keeps a processor busy
    OverARoundTrip,   // each question waits on another process or machine
};

// Worker threads for `use`, besides the thread that owns the work (which works too while it
// waits). Zero means that thread works alone.
int Workers(Use use, Answers answers);
// The same for work whose files lie on the volume of `path`.
int Workers(Use use, const std::string& path);

}  // namespace threads
