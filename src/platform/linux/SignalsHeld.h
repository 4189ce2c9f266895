#pragma once
// Holding off the signals a user sends to end the program (hang-up, Ctrl-C, Ctrl-\, kill)
// while a file passes through a state it must not be left in.

namespace platform::linux_fs {

// While any thread holds one, those signals are noted instead of ending the program; when the
// last one is let go, the first signal noted ends it as it would have. A mask of the holding
// thread alone would not do: the system hands a signal sent to the program to any thread that
// does not mask it, and its default action then ends them all. SIGKILL cannot be held off.
// A signal the program handles or ignores itself is left to it.
class TSignalsHeld {
public:
    TSignalsHeld();
    TSignalsHeld(const TSignalsHeld&) = delete;
    TSignalsHeld& operator=(const TSignalsHeld&) = delete;
    ~TSignalsHeld();
};

}  // namespace platform::linux_fs
