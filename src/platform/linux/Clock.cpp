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

bool UtcOffsetAt(std::int64_t unixSeconds, long& offsetSeconds) {
    FollowTimeZoneChanges();
    const auto instant = static_cast<time_t>(unixSeconds);
    tm local{};
    if (localtime_r(&instant, &local) == nullptr) {
        return false;
    }
    offsetSeconds = local.tm_gmtoff;
    return true;
}

}  // namespace platform
