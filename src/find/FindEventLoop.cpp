#include "find/FindEventLoop.h"

namespace vexfind {

void TFindEventLoop::Post(std::function<void()> call) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    posted_.notify_one();
}

std::size_t TFindEventLoop::ProcessPending() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(calls_);
    }
    for (const auto& call : batch) {
        call();
    }
    return batch.size();
}

bool TFindEventLoop::WaitAndProcess(std::chrono::milliseconds timeout) {
    {
        std::unique_lock lock(mutex_);
        if (!posted_.wait_for(lock, timeout, [this] { return !calls_.empty(); })) {
            return false;
        }
    }
    ProcessPending();
    return true;
}

void TFindEventLoop::RunUntil(const std::function<bool()>& done) {
    while (!done()) {
        WaitAndProcess(std::chrono::milliseconds(5));
    }
}

std::size_t TFindEventLoop::PendingCount() const {
    std::lock_guard lock(mutex_);
    return calls_.size();
}

}  // namespace vexfind
