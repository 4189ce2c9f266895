#pragma once
// What the desktop offers through QtCore: the type names and icons of the shared MIME database.
// They live in a module of their own (kelvane-desktop), loaded the
// first time one is asked for: loading QtCore with its ICU data takes longer than a whole
// command-line run that neither lists rows nor deletes anything, and scripts start many of those.

#include <string>

namespace platform::linux_fs {

struct DesktopServices {
    // The type name and theme icon name of a file whose name ends in `extension` (with its
    // dot; empty for none), or of a folder.
    void (*describeType)(const std::string& extension, bool isFolder, std::string& typeName,
                         std::string& iconName) noexcept;
};

// The module's services, loaded on first use; nullptr when the module cannot be loaded, with
// the reason in `problem`.
const DesktopServices* LoadDesktopServices(std::string& problem);

}  // namespace platform::linux_fs

// The one symbol the module exports. Its number changes with the layout of DesktopServices, so
// that a program never calls into a module of another layout (a stale install, or a window left
// open across an upgrade): it finds no such symbol instead.
extern "C" const platform::linux_fs::DesktopServices* KelvaneDesktopServicesV2();
