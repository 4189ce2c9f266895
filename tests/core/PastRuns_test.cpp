#include "core/PastRuns.h"

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(PastRunsTest, SpaceAsAPersonReadsIt) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 bytes"},        {1, "1 byte"},           {999, "999 bytes"},
        {1000, "1 kB"},        {999'499, "999 kB"},     {999'500, "1.0 MB"},
        {1'260'000, "1.3 MB"}, {999'960'000, "1.0 GB"}, {2'500'000'000'000, "2.5 TB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(SpaceText(bytes), text) << bytes;
    EXPECT_EQ(PastRunsText({}), "Past runs kept: none");
    EXPECT_EQ(PastRunsText({std::nullopt, 1, 2048}), "Past runs kept: 1 run, 2 kB");
}

}  // namespace
}  // namespace core
