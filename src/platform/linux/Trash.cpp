// The recycle bin of Windows is the freedesktop.org trash here, reached through the
// kelvane-desktop module.

#include "platform/Trash.h"
#include "platform/linux/DesktopServices.h"

namespace platform {

bool MoveToTrash(const std::string& path, std::string& reason) {
    const linux_fs::DesktopServices* desktop = linux_fs::LoadDesktopServices(reason);
    if (!desktop) {
        reason = "the trash cannot be reached: " + reason;
        return false;
    }
    return desktop->moveToTrash(path, reason);
}

}  // namespace platform
