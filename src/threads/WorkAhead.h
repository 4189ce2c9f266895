#pragma once
// Work on the items of an ordered list done ahead on worker threads, and taken back in list
// order by the thread that owns the list. While the owner waits for an item, it takes on one
// no worker has started, so on two cores both threads work whenever the owner has nothing
// else to do. Where each item waits on another process or machine (a FUSE or network volume),
// several workers keep several questions in flight. The owner decides what may go ahead: look-ups,
// and changes that touch no other item's file.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "threads/AdaptiveMutex.h"

namespace threads {

template <typename Result, typename Input = std::string>
class TWorkAhead {
public:
    using Work = std::function<Result(const Input&)>;

    // Holds up to `ahead` items asked for and not yet taken. `work` runs on the owner's thread
    // or on one of `workers` threads: more than one only where the work waits on another
    // process or machine rather than on the processors.
    TWorkAhead(std::size_t ahead, Work work, int workers = 1)
        : ahead_(ahead), work_(std::move(work)) {
        for (int i = 0; i < workers; ++i) {
            try {
                workers_.emplace_back([this] { RunWorker(); });
            } catch (const std::system_error&) {
                // Fewer workers than asked for still do all the work; none at all cannot.
                if (workers_.empty())
                    throw;
                break;
            }
        }
    }
    // Waits for the item in hand; the results not taken are dropped.
    ~TWorkAhead() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        workerWakes_.notify_all();
        for (std::thread& worker : workers_)
            worker.join();
    }
    TWorkAhead(const TWorkAhead&) = delete;
    TWorkAhead& operator=(const TWorkAhead&) = delete;

    // How many more items to ask for now: none while more than half of `ahead` wait, so that
    // the worker is woken once per batch, not once per item.
    std::size_t Room() const {
        const std::lock_guard lock(mutex_);
        return items_.size() > ahead_ / 2 ? 0 : ahead_ - items_.size();
    }

    // Queues the item `key` with its `input`; items are asked for in the order they are taken.
    void Ask(int key, Input input) {
        bool wake = false;
        {
            const std::lock_guard lock(mutex_);
            items_.push_back({key, std::move(input), State::Waiting, std::nullopt, nullptr});
            wake = idleWorkers_ > 0;
        }
        if (wake)
            workerWakes_.notify_one();
    }

    // The result of item `key` with `input`; an exception its work threw is thrown here.
    // Nullopt when the first item waiting is not this one (the list changed since it was
    // asked for): then every item asked for is dropped.
    std::optional<Result> Take(int key, const Input& input) {
        std::unique_lock lock(mutex_);
        if (items_.empty() || items_.front().key != key || items_.front().input != input) {
            items_.clear();
            ++generation_;
            return std::nullopt;
        }
        return TakeFront(lock).second;
    }

    // The first item asked for and not yet taken (there must be one): its key and its result.
    std::pair<int, Result> TakeFirst() {
        std::unique_lock lock(mutex_);
        return TakeFront(lock);
    }

    // Drops every item asked for and waits only for those in progress, so that whatever their
    // inputs refer to (an open folder) may go; items not yet started are never done.
    void Drop() {
        std::unique_lock lock(mutex_);
        items_.clear();
        ++generation_;
        ownerWaiting_ = true;
        ownerWakes_.wait(lock, [&] { return inProgress_ == 0; });
        ownerWaiting_ = false;
    }

private:
    enum class State { Waiting, Started, Done };
    struct Item {
        int key = 0;
        Input input;
        State state = State::Waiting;
        std::optional<Result> result;
        std::exception_ptr error;
    };

    // Waits for the first item, doing waiting items meanwhile, and takes it; an exception its
    // work threw is thrown here.
    std::pair<int, Result> TakeFront(std::unique_lock<TAdaptiveMutex>& lock) {
        while (items_.front().state != State::Done) {
            Item* idle = items_.front().state == State::Waiting ? &items_.front() : LastWaiting();
            if (idle) {
                DoItem(*idle, lock);
            } else {
                ownerWaiting_ = true;
                ownerWakes_.wait(lock);
                ownerWaiting_ = false;
            }
        }
        Item item = std::move(items_.front());
        items_.pop_front();
        lock.unlock();
        if (item.error)
            std::rethrow_exception(item.error);
        return {item.key, std::move(*item.result)};
    }

    // Does `item` without the lock held; its place in the queue stays valid (the deque keeps
    // its elements where they are) unless the queue is dropped meanwhile.
    void DoItem(Item& item, std::unique_lock<TAdaptiveMutex>& lock) {
        item.state = State::Started;
        ++inProgress_;
        const std::uint64_t generation = generation_;
        const Input input = item.input;
        lock.unlock();
        std::optional<Result> result;
        std::exception_ptr error;
        try {
            result.emplace(work_(input));
        } catch (...) {
            // Thrown on the owner's thread when the item is taken.
            error = std::current_exception();
        }
        lock.lock();
        if (--inProgress_ == 0 && ownerWaiting_)
            ownerWakes_.notify_all();
        if (generation != generation_)
            return;
        item.result = std::move(result);
        item.error = error;
        item.state = State::Done;
    }

    Item* FirstWaiting() {
        for (Item& item : items_) {
            if (item.state == State::Waiting)
                return &item;
        }
        return nullptr;
    }

    Item* LastWaiting() {
        for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
            if (it->state == State::Waiting)
                return &*it;
        }
        return nullptr;
    }

    void RunWorker() {
        std::unique_lock lock(mutex_);
        for (;;) {
            Item* next = nullptr;
            ++idleWorkers_;
            workerWakes_.wait(lock,
                              [&] { return stopping_ || (next = FirstWaiting()) != nullptr; });
            --idleWorkers_;
            if (stopping_)
                return;
            DoItem(*next, lock);
            if (ownerWaiting_)
                ownerWakes_.notify_one();
        }
    }

    const std::size_t ahead_;
    const Work work_;
    mutable TAdaptiveMutex mutex_;
    std::condition_variable_any workerWakes_;
    std::condition_variable_any ownerWakes_;
    std::deque<Item> items_;
    // A drop begins a new generation: work begun for an earlier one is thrown away.
    std::uint64_t generation_ = 0;
    int inProgress_ = 0;
    bool stopping_ = false;
    int idleWorkers_ = 0;
    bool ownerWaiting_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace threads
