// Finds and loads the kelvane-desktop module: where it is installed beside the program, else
// where this build made it, for a program or test run from its build folder.

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

Loaded Load() {
    Loaded loaded;
    const std::string candidates[] = {ProgramFolder() + "/" KELVANE_INSTALLED_DESKTOP_MODULE,
                                      KELVANE_BUILT_DESKTOP_MODULE};
    for (const std::string& path : candidates) {
        if (access(path.c_str(), F_OK) != 0)
            continue;
        // Never unloaded: QtCore keeps state of its own until the program ends.
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!module) {
            loaded.problem = dlerror();
            return loaded;
        }
        using Entry = const DesktopServices* (*)();
        if (const auto entry = reinterpret_cast<Entry>(dlsym(module, "KelvaneDesktopServices"))) {
            loaded.services = entry();
            return loaded;
        }
        loaded.problem = path + ": not a kelvane-desktop module";
        return loaded;
    }
    loaded.problem = "the kelvane-desktop module is missing";
    return loaded;
}

}  // namespace

const DesktopServices* LoadDesktopServices(std::string& problem) {
    static const Loaded loaded = Load();
    problem = loaded.problem;
    return loaded.services;
}

}  // namespace platform::linux_fs
