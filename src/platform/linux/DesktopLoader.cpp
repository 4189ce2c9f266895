// Finds and loads the kelvane-desktop module: where it is installed beside the program, or,
// for a program or test run from its build folder, where that build made it. An installed
// program never looks in the build folder, which may be gone or belong to someone else by now.

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <climits>

#include "platform/Path.h"
#include "platform/linux/DesktopServices.h"

namespace platform::linux_fs {
namespace {

std::string ProgramFolder() {
    std::array<char, PATH_MAX> buffer{};
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return length > 0 ? FolderOf(std::string(buffer.data(), static_cast<std::size_t>(length)))
                      : std::string();
}

struct Loaded {
    const DesktopServices* services = nullptr;
    std::string problem;
};

// Where the module should be; empty when the program cannot tell where it runs from.
std::string ModulePath() {
    const std::string program = ProgramFolder();
    if (program.empty())
        return {};
    if (program.rfind(KELVANE_BUILD_FOLDER "/", 0) == 0)
        return KELVANE_BUILT_DESKTOP_MODULE;
    return program + "/" KELVANE_INSTALLED_DESKTOP_MODULE;
}

Loaded Load() {
    Loaded loaded;
    const std::string path = ModulePath();
    if (path.empty()) {
        loaded.problem = "the program cannot tell where it runs from";
        return loaded;
    }
    // Never unloaded: QtCore keeps state of its own until the program ends.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!module) {
        loaded.problem = dlerror();
        return loaded;
    }
    using Entry = const DesktopServices* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(module, "KelvaneDesktopServicesV2"));
    if (!entry) {
        loaded.problem = path + ": not a kelvane-desktop module of this version";
        return loaded;
    }
    loaded.services = entry();
    return loaded;
}

}  // namespace

const DesktopServices* LoadDesktopServices(std::string& problem) {
    static const Loaded loaded = Load();
    problem = loaded.problem;
    return loaded.services;
}

}  // namespace platform::linux_fs
