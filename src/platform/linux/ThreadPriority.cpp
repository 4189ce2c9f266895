#include "platform/ThreadPriority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

// On Linux niceness belongs to each thread; PRIO_PROCESS with a thread id addresses just it.

int ThreadNiceness() {
    // -1 is a niceness too: only errno tells a failure.
    errno = 0;
    const int niceness = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    return errno == 0 ? niceness : 0;
}

bool SetThreadNiceness(int niceness) {
    return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), niceness) == 0;
}

}  // namespace platform
