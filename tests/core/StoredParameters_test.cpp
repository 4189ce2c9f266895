#include "core/StoredParameters.h"

#include <gtest/gtest.h>

namespace core {
namespace {

// Days, hours, minutes and seconds add up, in ticks of 100 ns; the sign turns the whole span,
// the largest included.
TEST(StoredParametersTest, ShiftSpanInTicks) {
    const std::pair<TStoredParameters, std::int64_t> cases[] = {
        {{.shiftHours = 1}, 3'600LL * 10'000'000},
        {{true, 2, 3, 4, 5}, -(2 * 86'400LL + 3 * 3'600 + 4 * 60 + 5) * 10'000'000},
        {{true, kMaxShiftDays, 23, 59, 59}, -((kMaxShiftDays + 1LL) * 86'400 - 1) * 10'000'000},
    };
    for (const auto& [stored, ticks] : cases)
        EXPECT_EQ(ShiftTicks(stored), ticks) << stored.shiftDays;
}

}  // namespace
}  // namespace core
