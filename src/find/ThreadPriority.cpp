#include "find/ThreadPriority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vexfind {

namespace {

constexpr int kMostFavourable = -20;
constexpr int kLeastFavourable = 19;

// On Linux niceness belongs to each thread; PRIO_PROCESS with a thread id addresses just it.
int CurrentNiceness() {
    errno = 0;
    const int niceness = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    return errno == 0 ? niceness : 0;
}

}  // namespace

int NicenessOffset(TThreadPriority priority) {
    switch (priority) {
        case TThreadPriority::tpIdle:
            return kLeastFavourable - kMostFavourable;  // the lowest there is, from anywhere
        case TThreadPriority::tpLowest:
            return 10;
        case TThreadPriority::tpLower:
            return 5;
        case TThreadPriority::tpNormal:
            return 0;
        case TThreadPriority::tpHigher:
            return -5;
        case TThreadPriority::tpHighest:
            return -10;
        case TThreadPriority::tpTimeCritical:
            return kMostFavourable - kLeastFavourable;  // the highest there is
    }
    return 0;
}

int ApplyThreadPriority(TThreadPriority priority) {
    const int inherited = CurrentNiceness();
    const int wanted =
        std::clamp(inherited + NicenessOffset(priority), kMostFavourable, kLeastFavourable);
    if (wanted != inherited) {
        // A refusal leaves the inherited niceness, which is what the search then runs at.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), wanted);
    }
    return CurrentNiceness();
}

}  // namespace vexfind
