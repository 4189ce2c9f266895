#pragma once
// A mutex that spins a little before it sleeps. Two threads that pass items to each other take
// it several times per item for a few dozen instructions each; a plain mutex puts the loser of
// each meeting to sleep and makes the winner wake it, two system calls for a wait shorter
// than either. So a thread that finds it taken tries again a bounded number of times, pausing
// the processor between tries, and only then waits like any other mutex.

#include <mutex>

namespace threads {

class TAdaptiveMutex {
public:
    TAdaptiveMutex() = default;
    TAdaptiveMutex(const TAdaptiveMutex&) = delete;
    TAdaptiveMutex& operator=(const TAdaptiveMutex&) = delete;

    void lock();
    bool try_lock() { return mutex_.try_lock(); }
    void unlock() { mutex_.unlock(); }

private:
    std::mutex mutex_;
};

}  // namespace threads
