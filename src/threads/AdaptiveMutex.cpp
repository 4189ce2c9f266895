#include "threads/AdaptiveMutex.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace threads {

namespace {

// About as long as the holder of a hand-over's lock keeps it: a thread that has spun this
// long meets a holder doing real work, and sleeping costs less than spinning on.
constexpr int kSpins = 100;

// Tells the processor this is a spin: it saves power and leaves the core to its other
// hardware thread, and the loop does not flood the memory bus with reads of the lock.
inline void CpuPause() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#elif defined(__aarch64__) || defined(__arm__)
    asm volatile("yield");
#endif
}

}  // namespace

void TAdaptiveMutex::lock() {
    for (int i = 0; i < kSpins; ++i) {
        if (mutex_.try_lock())
            return;
        CpuPause();
    }
    mutex_.lock();
}

}  // namespace threads
