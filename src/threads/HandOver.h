#pragma once
// Items passed from a worker thread to the thread that owns it, in batches and in order. The
// worker collects items and passes a batch to the owner through a posted call, then works on
// while the owner runs the batch's items, one at a time; before it passes the next batch it
// waits until that one has run, so batches run in the worker's order, never two at once, and no
// more than two exist. The worker thus looks ahead by at most two batches.
//
// Batches, because a round trip between two threads costs far more than one small item: one
// per item would make the hand-over most of the work. A batch is due when it holds enough
// items or its first item has waited long enough to be noticed, and goes as soon as the owner
// is free to take it. While the owner is busy (or not yet scheduled, on a loaded machine) the
// batch keeps growing, so that the worker goes on, up to a limit: that bounds what the worker
// holds, and how long one batch keeps a window's thread from its other events.
//
// The owner may stop the worker at any time; from then on nothing more is handed over. It may
// also wait for the worker's end, serving the worker's batches meanwhile, so that it needs no
// trip back to its event loop for that.

#include <atomic>
#include <cassert>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "threads/LetGoThreads.h"

namespace threads {

// How batches are cut.
struct BatchPace {
    // A batch is due when it holds `size` items, or when its first item has waited `delay`.
    std::size_t size = 0;
    std::chrono::steady_clock::duration delay{};
    // Past `limit` items a due batch goes even while the owner still runs the one before.
    std::size_t limit = 0;
    // The worker polls often: the clock is read at every so many polls only, since a batch's
    // delay is no deadline.
    int pollsPerClockReading = 1;
};

// Held through a shared pointer by both threads, so that a worker let go while it finishes
// (LetGo) never outlives it. The owner is the thread that makes it.
template <typename Item>
class THandOver : public std::enable_shared_from_this<THandOver<Item>> {
public:
    // Queues `call` to run later on the owner's thread and returns without waiting for it. A
    // call that runs after the hand-over has gone does nothing.
    using Post = std::function<void(std::function<void()>)>;

    THandOver(Post post, BatchPace pace)
        : post_(std::move(post)), pace_(pace), owner_(std::this_thread::get_id()) {}
    virtual ~THandOver() = default;
    THandOver(const THandOver&) = delete;
    THandOver& operator=(const THandOver&) = delete;

    // The worker's side.

    // Collects only: Poll passes the batch on when it is due.
    void Queue(Item item) {
        if (batch_.empty()) {
            batch_.reserve(pace_.size);
            batchStart_ = Clock::now();
            pollsSinceClock_ = 0;
        }
        batch_.push_back(std::move(item));
    }

    // Asked regularly by the worker, its moment to pass on what it has collected. True once
    // the owner has asked it to stop.
    bool Poll() {
        if (BatchDue() && (batch_.size() >= pace_.limit || OwnerFree()))
            HandOver();
        return stopping_;
    }

    // Has everything collected run on the owner's thread (unless stopped meanwhile).
    void Flush() {
        HandOver();
        WaitUntilServed();
    }

    // After Flush: `last` travels alone, so that it runs after every other item, and exactly
    // when it was handed over before a stop was asked for.
    void SendAlone(Item last) {
        if (stopping_)
            return;
        batch_.push_back(std::move(last));
        Flush();
    }

    // The worker's last act; it touches nothing of the owner's afterwards.
    void Finish() {
        {
            const std::lock_guard lock(mutex_);
            finished_ = true;
            if (letGo_)
                TLetGoThreads::Instance().Ended();
        }
        changed_.notify_all();
    }

    // The owner's side.

    // Runs the batch the worker is waiting for, if there is one. What an item's delivery throws
    // stops the worker (the rest of the batch is dropped) and is kept as Error.
    void ServePending() {
        std::unique_lock lock(mutex_);
        // Empty when it was served already, and also when this is an event loop run from
        // inside a delivery being served.
        if (pending_.empty())
            return;
        assert(std::this_thread::get_id() == owner_);
        const std::vector<Item> batch = std::exchange(pending_, {});
        serving_ = true;
        lock.unlock();
        std::exception_ptr error;
        try {
            for (const Item& item : batch)
                Deliver(item);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        serving_ = false;
        inFlight_ = false;
        // The worker may be working meanwhile, so it must not hand over anything more.
        if (error && !error_) {
            error_ = error;
            stopping_ = true;
        }
        lock.unlock();
        changed_.notify_all();
    }

    // Waits until the worker has finished, serving its hand-overs meanwhile.
    void WaitForEnd() {
        std::unique_lock lock(mutex_);
        while (!finished_) {
            if (!pending_.empty()) {
                lock.unlock();
                ServePending();
                lock.lock();
            } else {
                changed_.wait(lock);
            }
        }
    }

    // The owner may serve a batch while the worker is still on its way out of Post; whoever
    // lets the worker go must wait for that, since what Post uses may go right after.
    void WaitUntilPostReturned() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !posting_; });
    }

    // Returns at once; the worker sees it at its next Poll.
    void Stop() { stopping_ = true; }

    // The owner lets the worker finish on its own, with the program's end waiting for it
    // (TLetGoThreads); call before detaching it.
    void LetGo() {
        const std::lock_guard lock(mutex_);
        if (finished_)
            return;
        letGo_ = true;
        TLetGoThreads::Instance().Began();
    }

    bool Stopping() const { return stopping_; }

    // Stops the worker that runs on `worker` and ends it: joined, or, when this is called from
    // inside one of its own deliveries, let go. The worker ends only after that delivery has
    // returned, so waiting for its end there would never end; told to stop, it hands over
    // nothing more, and keeps alive all that it still touches.
    void StopAndEnd(std::thread& worker) {
        if (!worker.joinable())
            return;
        Stop();
        if (ServingOnThisThread()) {
            WaitUntilPostReturned();
            LetGo();
            worker.detach();
            return;
        }
        WaitForEnd();
        worker.join();
    }

    bool Finished() const {
        const std::lock_guard lock(mutex_);
        return finished_;
    }

    // Whether the calling thread is the owner, inside a delivery.
    bool ServingOnThisThread() const {
        const std::lock_guard lock(mutex_);
        return serving_ && std::this_thread::get_id() == owner_;
    }

    // What a delivery threw, stopping the worker; null when none did.
    std::exception_ptr Error() const {
        const std::lock_guard lock(mutex_);
        return error_;
    }

protected:
    // Runs one item on the owner's thread.
    virtual void Deliver(const Item& item) = 0;

private:
    using Clock = std::chrono::steady_clock;

    bool BatchDue() {
        if (batch_.size() >= pace_.size)
            return true;
        if (batch_.empty() || ++pollsSinceClock_ < pace_.pollsPerClockReading)
            return false;
        pollsSinceClock_ = 0;
        return Clock::now() - batchStart_ >= pace_.delay;
    }

    bool OwnerFree() {
        const std::lock_guard lock(mutex_);
        return !inFlight_;
    }

    // Has the collected batch run on the owner's thread, once the batch before it has run, and
    // returns at once: the worker goes on while the owner runs it. After a stop nothing
    // collected would run, so nothing is handed over.
    void HandOver() {
        WaitUntilServed();
        {
            const std::lock_guard lock(mutex_);
            if (batch_.empty() || stopping_) {
                batch_.clear();
                return;
            }
            pending_ = std::exchange(batch_, {});
            inFlight_ = true;
            posting_ = true;
        }
        changed_.notify_all();  // an owner waiting for the end serves it at once
        try {
            post_([weak = this->weak_from_this()] {
                if (const std::shared_ptr<THandOver> self = weak.lock())
                    self->ServePending();
            });
        } catch (...) {
            PostReturned();
            throw;
        }
        PostReturned();
    }

    // Waits until the owner has run every batch handed over.
    void WaitUntilServed() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !inFlight_; });
    }

    void PostReturned() {
        {
            const std::lock_guard lock(mutex_);
            posting_ = false;
        }
        changed_.notify_all();
    }

    const Post post_;
    const BatchPace pace_;
    const std::thread::id owner_;

    std::atomic<bool> stopping_ = false;

    // The worker's own.
    std::vector<Item> batch_;
    Clock::time_point batchStart_;
    int pollsSinceClock_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Item> pending_;  // handed over, not yet taken by the owner
    bool inFlight_ = false;      // a batch was handed over and has not run to its end
    bool posting_ = false;       // the worker is inside Post
    bool serving_ = false;       // the owner is inside a delivery of this hand-over
    bool finished_ = false;
    bool letGo_ = false;
    std::exception_ptr error_;
};

}  // namespace threads
