#include "platform/linux/StateFolder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/linux/Descriptor.h"

namespace platform::linux_fs {

std::string ProgramStateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/')
        return std::string(state) + "/orbel-kelvane";
    const char* home = std::getenv("HOME");
    if (!home || *home != '/')
        return {};
    return std::string(home) + "/.local/state/orbel-kelvane";
}

std::string PrivateStateFolder(const std::string& name, std::string& reason) {
    const std::string state = ProgramStateFolder();
    if (state.empty())
        return Fail(reason, "no home folder"), std::string();
    if (const Result made = CreateFolders(state); !made)
        return Fail(reason, state + ": " + made.Reason()), std::string();
    const std::string folder = state + "/" + name;
    // What is kept there tells which files the user changed and how: no one else reads it.
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return Fail(reason, folder + ": " + SystemReason(errno)), std::string();
    return folder;
}

}  // namespace platform::linux_fs
