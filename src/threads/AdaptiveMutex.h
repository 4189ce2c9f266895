#pragma once
// A mutex that spins a little before it sleeps. Two threads that pass items to each other take
// it several times per item for a few dozen instructions each; a plain mutex puts the loser of
// each meeting to sleep and makes the winner wake it, two system calls for a wait shorter
// than either. So a thread that finds it taken tries again a bounded number of times, pausing
// the processor between tries, and only then waits like any other mutex. The lock is inline:
// a hand-over takes it several times per item.

#include <mutex>

namespace threads {

class TAdaptiveMutex {
public:
    TAdaptiveMutex() = default;
    TAdaptiveMutex(const TAdaptiveMutex&) = delete;
    TAdaptiveMutex& operator=(const TAdaptiveMutex&) = delete;

    void lock() {
        for (int i = 0; i < kSpins; ++i) {
            if (mutex_.try_lock())
                return;
            CpuPause();
        }
        mutex_.lock();
    }
    bool try_lock() { return mutex_.try_lock(); }
    void unlock() { mutex_.unlock(); }

private:
    // As many tries as glibc's adaptive mutex makes at most: a holder that keeps the lock
    // longer is doing real work, and sleeping costs less than spinning on.
    static constexpr int kSpins = 100;

    // Tells the processor this is a spin: it saves power, leaves the core to its other
    // hardware thread, and keeps the loop from flooding the memory bus.
    static void CpuPause() {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#elif defined(__aarch64__) || defined(__arm__)
        asm volatile("yield");
#endif
    }

    std::mutex mutex_;
};

}  // namespace threads
