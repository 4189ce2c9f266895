#pragma once
// How a search thread reaches the thread that owns the search.

#include <functional>

namespace vexfind {

// Provided by the owner of a search component: the window posts to its event loop (a queued
// call), the command line and the tests to a loop of their own.
//
// Post only queues: it is called on the search thread and must return without waiting for the
// call to run. The search thread then blocks by itself until the owner has run the hand-over.
// A blocking "run it and wait" here could not work, because the owner, while it waits for a
// search to end (a new Start, or the component being destroyed), must be able to serve that
// search's last hand-over itself without going back to its event loop.
class IFindDispatcher {
public:
    virtual ~IFindDispatcher() = default;

    // Called from any thread; `call` must later run on the owner's thread. A call that runs
    // after its search has gone does nothing, so the loop may keep or drop leftovers freely.
    virtual void Post(std::function<void()> call) = 0;
};

}  // namespace vexfind
