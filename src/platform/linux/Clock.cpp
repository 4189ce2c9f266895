#include <ctime>

#include "platform/FileTime.h"

namespace platform {

long CurrentUtcOffsetSeconds() {
    // localtime_r alone does not notice a changed TZ; the offset must be the one in force now.
    tzset();
    const time_t now = time(nullptr);
    tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return 0;
    }
    return local.tm_gmtoff;
}

}  // namespace platform
