#pragma once
// Threads let go before their end. A thread that is told to stop from inside its own work
// cannot be joined there (it ends only after that work returns), so it is detached and ends
// soon after on its own. It may still be running when the program ends: the end of the program
// waits for every such thread, so that none touches what the exit destroys (the volume caches,
// the attribute stores).

#include <condition_variable>
#include <mutex>

namespace threads {

// Counts the threads let go and not yet ended. A thread counted here must end on its own.
class TLetGoThreads {
public:
    // Made at the first let-go, after the static objects of whatever the threads ran, and so
    // destroyed before them: its destructor waits until every thread let go has ended.
    static TLetGoThreads& Instance();

    // The owner lets a thread go: call before detaching it.
    void Began();
    // That thread is done with everything it touches: call as its last act.
    void Ended();

    TLetGoThreads(const TLetGoThreads&) = delete;
    TLetGoThreads& operator=(const TLetGoThreads&) = delete;

private:
    TLetGoThreads() = default;
    ~TLetGoThreads();

    std::mutex mutex_;
    std::condition_variable ended_;
    int running_ = 0;
};

}  // namespace threads
