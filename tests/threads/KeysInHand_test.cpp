#include "threads/KeysInHand.h"

#include <gtest/gtest.h>

namespace threads {
namespace {

// A thread that read a thing must read it again when another thread let its key go since:
// what it read may predate that thread's change. Other keys let go meanwhile do not matter,
// unless so many went that the record of them no longer reaches back far enough.
TEST(KeysInHandTest, AKeyLetGoSinceItWasReadIsReadAgain) {
    constexpr int key = 10;
    constexpr int other = 11;
    const struct {
        const char* what;
        int othersLetGo;
        bool keyLetGo;
        bool held;
    } cases[] = {
        {"nothing let go", 0, false, true},
        {"another key let go", 3, false, true},
        {"this key let go", 3, true, false},
        {"more let go than are remembered", 200, false, false},
    };
    for (const auto& c : cases) {
        TKeysInHand<int> inHand;
        const std::uint64_t since = inHand.LetGo();
        for (int i = 0; i < c.othersLetGo; ++i) {
            ASSERT_TRUE(inHand.Hold(other, inHand.LetGo()));
            inHand.Release(other);
        }
        if (c.keyLetGo) {
            ASSERT_TRUE(inHand.Hold(key, inHand.LetGo()));
            inHand.Release(key);
        }
        EXPECT_EQ(inHand.Hold(key, since), c.held) << c.what;
    }
}

// A thread holding keys of its own must never wait for one another thread holds: TryHold
// answers at once, and by the same rule as Hold once the key is free.
TEST(KeysInHandTest, TryHoldNeverWaits) {
    using Try = TKeysInHand<int>::Try;
    TKeysInHand<int> inHand;
    ASSERT_TRUE(inHand.Hold(1, inHand.LetGo()));
    const std::uint64_t since = inHand.LetGo();
    EXPECT_EQ(inHand.TryHold(1, since), Try::Busy);
    inHand.Release(1);
    EXPECT_EQ(inHand.TryHold(1, since), Try::Stale);
    EXPECT_EQ(inHand.TryHold(1, inHand.LetGo()), Try::Held);
}

}  // namespace
}  // namespace threads
