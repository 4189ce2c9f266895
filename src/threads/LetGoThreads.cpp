#include "threads/LetGoThreads.h"

namespace threads {

TLetGoThreads& TLetGoThreads::Instance() {
    static TLetGoThreads threads;
    return threads;
}

TLetGoThreads::~TLetGoThreads() {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return running_ == 0; });
}

void TLetGoThreads::Began() {
    const std::lock_guard lock(mutex_);
    ++running_;
}

void TLetGoThreads::Ended() {
    const std::lock_guard lock(mutex_);
    if (--running_ == 0)
        ended_.notify_all();
}

}  // namespace threads
