#include "core/StoredParameters.h"

#include <gtest/gtest.h>

namespace core {
namespace {

// The shift's span in ticks of 100 ns: days, hours, minutes and seconds add up, and the sign
// turns the whole span, up to the largest span, without overflow.
TEST(StoredParametersTest, ShiftSpanInTicks) {
    struct Case {
        bool earlier;
        int days, hours, minutes, seconds;
        std::int64_t ticks;
    };
    const Case cases[] = {
        {false, 0, 1, 0, 0, 36'000'000'000LL},
        {true, 2, 3, 4, 5, -(2 * 86'400LL + 3 * 3'600 + 4 * 60 + 5) * 10'000'000},
        {true, kMaxShiftDays, 23, 59, 59, -(kMaxShiftDays + 1LL) * 864'000'000'000LL + 10'000'000},
    };
    for (const Case& c : cases) {
        TStoredParameters stored;
        stored.shiftEarlier = c.earlier;
        stored.shiftDays = c.days;
        stored.shiftHours = c.hours;
        stored.shiftMinutes = c.minutes;
        stored.shiftSeconds = c.seconds;
        EXPECT_EQ(ShiftTicks(stored), c.ticks) << c.days << " " << c.hours;
    }
}

}  // namespace
}  // namespace core
