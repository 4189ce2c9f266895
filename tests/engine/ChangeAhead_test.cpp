#include "engine/ChangeAhead.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

// A thread that opened a file must open it again when another thread let that file go since:
// what it read may predate that thread's change. Other files let go meanwhile do not matter,
// unless so many went that the record of them no longer reaches back far enough.
TEST(FilesInHandTest, AFileLetGoSinceItWasOpenedIsOpenedAgain) {
    const platform::FileIdentity file{1, 10};
    const platform::FileIdentity other{1, 11};
    const struct {
        const char* what;
        int othersLetGo;
        bool fileLetGo;
        bool held;
    } cases[] = {
        {"nothing let go", 0, false, true},
        {"another file let go", 3, false, true},
        {"this file let go", 3, true, false},
        {"more let go than are remembered", 200, false, false},
    };
    for (const auto& c : cases) {
        TFilesInHand inHand;
        const std::uint64_t since = inHand.LetGo();
        for (int i = 0; i < c.othersLetGo; ++i) {
            ASSERT_TRUE(inHand.Hold(other, inHand.LetGo()));
            inHand.Release(other);
        }
        if (c.fileLetGo) {
            ASSERT_TRUE(inHand.Hold(file, inHand.LetGo()));
            inHand.Release(file);
        }
        EXPECT_EQ(inHand.Hold(file, since), c.held) << c.what;
    }
}

}  // namespace
}  // namespace engine
