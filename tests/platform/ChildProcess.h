#pragma once
// Runs part of a test in a child process: as an ordinary user (root bypasses every permission),
// or where it may be killed or limited without touching the test program.

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace platform {

// Starts `body` in a child process that exits with 0 when it returns true.
inline pid_t StartChild(const std::function<bool()>& body) {
    const pid_t child = fork();
    if (child == 0)
        _exit(body() ? 0 : 1);
    return child;
}

// Waits for a child; its wait status.
inline int WaitChild(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

inline bool RunInChild(const std::function<bool()>& body) {
    const int status = WaitChild(StartChild(body));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs `check` as the user "nobody" on files handed to that user; the child's verdict. Without
// root the test already runs as an ordinary user.
inline bool AsOrdinaryUser(const std::vector<std::string>& files,
                           const std::function<bool()>& check) {
    if (geteuid() != 0)
        return check();
    constexpr uid_t kNobody = 65534;
    for (const std::string& file : files) {
        if (lchown(file.c_str(), kNobody, kNobody) != 0)
            return false;
    }
    return RunInChild([&] { return setgid(kNobody) == 0 && setuid(kNobody) == 0 && check(); });
}

}  // namespace platform
