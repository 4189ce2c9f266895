#include <array>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <mutex>
#include <optional>
#include <string>

#include "platform/FileTime.h"

namespace platform {
namespace {

constexpr std::int64_t kSecondsPerHour = 3600;

// One hour of UTC throughout which the time zone keeps one offset.
struct HourOffset {
    std::int64_t hour = std::numeric_limits<std::int64_t>::min();
    long offset = 0;
};

// What one thread learnt of the time zone that TZ names. A listed row shows three times, and a
// folder's files mostly share their hours: asking the C library for each (a lock and a search
// of the zone's transitions) would cost more than all the rest of the row's texts.
struct ZoneCache {
    bool filled = false;
    std::optional<std::string> tz;
    std::array<HourOffset, 256> hours{};
};

bool SameTz(const char* tz, const std::optional<std::string>& known) {
    return tz ? known && *known == tz : !known;
}

// localtime_r reads the time zone once; a changed TZ needs tzset(). Calling tzset() every time
// would cost a stat of /etc/localtime per file time shown, so it runs when TZ changed. What the
// thread cached under the old zone is dropped.
void FollowTimeZoneChanges(ZoneCache& cache) {
    const char* tz = std::getenv("TZ");
    if (cache.filled && SameTz(tz, cache.tz))
        return;
    static std::mutex mutex;
    static std::optional<std::string> zoneRead;
    static bool zoneReadOnce = false;
    std::lock_guard lock(mutex);
    if (!zoneReadOnce || !SameTz(tz, zoneRead)) {
        tzset();
        zoneRead = tz ? std::optional<std::string>(tz) : std::nullopt;
        zoneReadOnce = true;
    }
    cache = ZoneCache{true, zoneRead, {}};
}

bool LibraryOffsetAt(std::int64_t unixSeconds, long& offsetSeconds) {
    const auto instant = static_cast<time_t>(unixSeconds);
    tm local{};
    if (localtime_r(&instant, &local) == nullptr)
        return false;
    offsetSeconds = local.tm_gmtoff;
    return true;
}

std::int64_t HourOf(std::int64_t unixSeconds) {
    const std::int64_t hour = unixSeconds / kSecondsPerHour;
    return unixSeconds % kSecondsPerHour < 0 ? hour - 1 : hour;
}

thread_local ZoneCache zoneCache;

}  // namespace

TLocalZone::TLocalZone() {
    FollowTimeZoneChanges(zoneCache);
}

bool TLocalZone::UtcOffsetAt(std::int64_t unixSeconds, long& offsetSeconds) const {
    ZoneCache& cache = zoneCache;
    const std::int64_t hour = HourOf(unixSeconds);
    HourOffset& slot = cache.hours[static_cast<std::uint64_t>(hour) % cache.hours.size()];
    if (slot.hour == hour) {
        offsetSeconds = slot.offset;
        return true;
    }
    // Summer time begins and ends on a whole hour of UTC in today's zones, but not in all of
    // history (local mean time gave way to zone time at odd seconds), nor where the offset is
    // a half hour: an hour whose two ends differ is asked about second by second.
    long first = 0, last = 0;
    const std::int64_t start = hour * kSecondsPerHour;
    if (!LibraryOffsetAt(start, first) || !LibraryOffsetAt(start + kSecondsPerHour - 1, last) ||
        first != last) {
        return LibraryOffsetAt(unixSeconds, offsetSeconds);
    }
    slot = {hour, first};
    offsetSeconds = first;
    return true;
}

bool UtcOffsetAt(std::int64_t unixSeconds, long& offsetSeconds) {
    return TLocalZone().UtcOffsetAt(unixSeconds, offsetSeconds);
}

}  // namespace platform
