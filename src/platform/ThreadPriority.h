#pragma once
// The scheduling priority of the calling thread, as a niceness: from kMostFavourableNiceness
// (runs first) to kLeastFavourableNiceness (runs when nothing else wants to), 0 by default.
// Each thread has its own, and a thread starts with that of the thread that started it.

namespace platform {

inline constexpr int kMostFavourableNiceness = -20;
inline constexpr int kLeastFavourableNiceness = 19;

// The calling thread's niceness; 0 when it cannot be read.
int ThreadNiceness();

// Asks for `niceness` for the calling thread alone. Lowering it (a higher priority) needs a
// privilege: false, and the niceness unchanged, when the system refuses.
bool SetThreadNiceness(int niceness);

}  // namespace platform
