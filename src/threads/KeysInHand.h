#pragma once
// Things in hand on several threads, by key (a file's identity): one thread at a time holds a
// key, and a thread that read a thing before it held its key learns whether another thread let
// that key go meanwhile, so that it can read again rather than write back what it read before
// that other thread's change.

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <unordered_set>
#include <vector>

namespace threads {

template <typename Key, typename Hash = std::hash<Key>>
class TKeysInHand {
public:
    // A count that moves on each time a key is let go; read before the thing is read.
    std::uint64_t LetGo() const { return letGo_.load(std::memory_order_acquire); }

    // Waits while another thread holds `key`, then holds it. False, and not held, when another
    // thread let it go after `since`: what was read of it before may be stale.
    bool Hold(const Key& key, std::uint64_t since) {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [&] { return !held_.contains(key); });
        if (LetGoSince(key, since))
            return false;
        held_.insert(key);
        return true;
    }

    // Hold without waiting: Busy, and not held, while another thread holds `key` (a thread that
    // holds keys of its own lets them go before it waits, so that two threads never wait for
    // each other).
    enum class Try { Held, Busy, Stale };
    Try TryHold(const Key& key, std::uint64_t since) {
        const std::lock_guard lock(mutex_);
        if (held_.contains(key))
            return Try::Busy;
        if (LetGoSince(key, since))
            return Try::Stale;
        held_.insert(key);
        return Try::Held;
    }
    void Release(const Key& key) { Release(std::span<const Key>(&key, 1)); }
    // Lets go of several at once, waking the waiting threads once.
    void Release(std::span<const Key> keys) {
        if (keys.empty())
            return;
        {
            const std::lock_guard lock(mutex_);
            std::uint64_t letGo = letGo_.load(std::memory_order_relaxed);
            for (const Key& key : keys) {
                held_.erase(key);
                ++letGo;
                recent_[letGo % recent_.size()] = key;
            }
            letGo_.store(letGo, std::memory_order_release);
        }
        released_.notify_all();
    }

private:
    bool LetGoSince(const Key& key, std::uint64_t since) const {
        // More let go since then than are remembered: any of them may have been this one.
        // (More than a few while one thing is read is not expected.)
        const std::uint64_t letGo = letGo_.load(std::memory_order_relaxed);
        if (letGo - since > recent_.size())
            return true;
        for (std::uint64_t count = since + 1; count <= letGo; ++count) {
            if (recent_[count % recent_.size()] == key)
                return true;
        }
        return false;
    }

    mutable std::mutex mutex_;
    std::condition_variable released_;
    std::unordered_set<Key, Hash> held_;
    // The keys let go last: the one whose letting go made the count c is at c % their number.
    std::array<Key, 64> recent_{};
    // Changed under the mutex, read without it: a count read early is only ever behind, and
    // a key then seems let go when it was not, which costs a read again and no more.
    std::atomic<std::uint64_t> letGo_ = 0;
};

}  // namespace threads
