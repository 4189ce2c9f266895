#pragma once
// The seven priorities of a search thread and the niceness each gives it.

namespace vexfind {

enum class TThreadPriority {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

// The niceness a priority adds to that of the thread starting the search (positive is lower
// priority), so that a program started with `nice` keeps its searches below itself too.
int NicenessOffset(TThreadPriority priority);

// Gives the calling thread the niceness of `priority` and returns the niceness it then runs
// at. Raising above the inherited level needs a privilege; without it the thread simply keeps
// the level it inherited.
int ApplyThreadPriority(TThreadPriority priority);

}  // namespace vexfind
