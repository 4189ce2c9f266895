#pragma once
// A minimal owner loop for searches run without a window: the command line and the tests.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "find/FindDispatcher.h"

namespace vexfind {

class TFindEventLoop : public IFindDispatcher {
public:
    void Post(std::function<void()> call) override;

    // Runs every call posted so far on the calling thread; returns how many ran.
    std::size_t ProcessPending();

    // Waits up to `timeout` for a call to be posted, then runs all that are there. False when
    // nothing came.
    bool WaitAndProcess(std::chrono::milliseconds timeout);

    // Serves calls until `done()` holds. `done` is looked at after every batch of calls and at
    // least every few milliseconds, so it may watch state that no posted call changes.
    void RunUntil(const std::function<bool()>& done);

    std::size_t PendingCount() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> calls_;
};

}  // namespace vexfind
