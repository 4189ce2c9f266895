#pragma once
// A mutex that spins a little before it sleeps. Two threads that pass items to each other take
// it several times per item for a few dozen instructions each; a plain mutex puts the loser of
// each meeting to sleep and makes the winner wake it, two system calls for a wait shorter
// than either.

#include <pthread.h>

namespace platform {

class TAdaptiveMutex {
public:
    TAdaptiveMutex() {
        pthread_mutexattr_t attributes;
        pthread_mutexattr_init(&attributes);
        pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_ADAPTIVE_NP);
        pthread_mutex_init(&mutex_, &attributes);
        pthread_mutexattr_destroy(&attributes);
    }
    ~TAdaptiveMutex() { pthread_mutex_destroy(&mutex_); }
    TAdaptiveMutex(const TAdaptiveMutex&) = delete;
    TAdaptiveMutex& operator=(const TAdaptiveMutex&) = delete;

    void lock() { pthread_mutex_lock(&mutex_); }
    bool try_lock() { return pthread_mutex_trylock(&mutex_) == 0; }
    void unlock() { pthread_mutex_unlock(&mutex_); }

private:
    pthread_mutex_t mutex_;
};

}  // namespace platform
