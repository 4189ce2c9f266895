#include "platform/linux/SignalsHeld.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace platform::linux_fs {
namespace {

constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

// Lock-free, so that the handler may touch them.
std::atomic<int> holders{0};
std::atomic<int> noted{0};
static_assert(std::atomic<int>::is_always_lock_free);

// Ends the program by `signal`'s default action, from this thread: it is unmasked here, so
// the system delivers it before raise returns (or, in the handler, as the handler returns).
void EndBy(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    raise(signal);
}

// Noted before the holders are counted, and a new holder looks at the note after counting
// itself: whichever of the handler and the holders comes last sees the other, so a signal is
// never lost and never ends the program while a file is held.
void Note(int signal) {
    int none = 0;
    noted.compare_exchange_strong(none, signal);
    if (holders.load() == 0)
        EndBy(noted.load());
}

// The holder that lets go last ends the program by a signal noted meanwhile.
void Release() {
    if (holders.fetch_sub(1) == 1) {
        if (const int signal = noted.load())
            EndBy(signal);
    }
}

void InstallOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signal : kEndingSignals) {
            struct sigaction current {};
            if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
                continue;
            struct sigaction action {};
            action.sa_handler = Note;
            // A call the signal interrupts goes on as if nothing had come.
            action.sa_flags = SA_RESTART;
            sigfillset(&action.sa_mask);
            sigaction(signal, &action, nullptr);
        }
    });
}

}  // namespace

TSignalsHeld::TSignalsHeld() {
    InstallOnce();
    holders.fetch_add(1);
    if (noted.load() == 0)
        return;
    // The program is to end: this thread starts nothing it could be ended in the middle of,
    // and waits for the last holder to end it, unless that is itself.
    Release();
    for (;;)
        pause();
}

TSignalsHeld::~TSignalsHeld() {
    Release();
}

}  // namespace platform::linux_fs
