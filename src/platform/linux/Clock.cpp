#include <cstdlib>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>

#include "platform/FileTime.h"

namespace platform {
namespace {

// localtime_r reads the time zone once; a changed TZ needs tzset(). Calling tzset() every time
// would cost a stat of /etc/localtime per file time shown, so it runs when TZ changed.
void FollowTimeZoneChanges() {
    static std::mutex mutex;
    static std::optional<std::string> lastTz;
    static bool first = true;
    std::lock_guard lock(mutex);
    const char* tz = std::getenv("TZ");
    const std::optional<std::string> current = tz ? std::optional<std::string>(tz) : std::nullopt;
    if (first || current != lastTz) {
        tzset();
        lastTz = current;
        first = false;
    }
}

}  // namespace

long CurrentUtcOffsetSeconds() {
    FollowTimeZoneChanges();
    const time_t now = time(nullptr);
    tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return 0;
    }
    return local.tm_gmtoff;
}

}  // namespace platform
