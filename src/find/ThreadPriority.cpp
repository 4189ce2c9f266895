#include "find/ThreadPriority.h"

#include <algorithm>

#include "platform/ThreadPriority.h"

namespace vexfind {

namespace {

constexpr int kMostFavourable = platform::kMostFavourableNiceness;
constexpr int kLeastFavourable = platform::kLeastFavourableNiceness;

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
    const int inherited = platform::ThreadNiceness();
    const int wanted =
        std::clamp(inherited + NicenessOffset(priority), kMostFavourable, kLeastFavourable);
    if (wanted != inherited) {
        // A refusal leaves the inherited niceness, which is what the search then runs at.
        platform::SetThreadNiceness(wanted);
    }
    return platform::ThreadNiceness();
}

}  // namespace vexfind
