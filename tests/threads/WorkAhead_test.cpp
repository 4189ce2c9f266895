#include "threads/WorkAhead.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace threads {
namespace {

std::string Shout(const std::string& input) {
    if (input == "bad")
        throw std::runtime_error("no such word");
    return input + "!";
}

// Whatever the workers do ahead, the owner takes every result in its order, as if it had
// done the work itself; a list changed under it drops what was asked, and an error of the
// work reaches the owner.
TEST(WorkAheadTest, ResultsComeInListOrderAsIfDoneInPlace) {
    std::vector<std::string> words;
    for (int i = 0; i < 500; ++i)
        words.push_back("w" + std::to_string(i));
    for (const auto& [ahead, workers] : {std::pair{1u, 1}, {2u, 1}, {16u, 1}, {16u, 3}}) {
        TWorkAhead<std::string> work(ahead, Shout, workers);
        std::size_t asked = 0;
        for (std::size_t i = 0; i < words.size(); ++i) {
            for (std::size_t room = work.Room(); room > 0 && asked < words.size(); --room)
                work.Ask(static_cast<int>(asked), words[asked]), ++asked;
            EXPECT_EQ(work.Take(static_cast<int>(i), words[i]), Shout(words[i]))
                << ahead << " ahead, " << workers << " workers";
        }
    }
}

TEST(WorkAheadTest, AChangedListDropsWhatWasAskedAndErrorsReachTheOwner) {
    TWorkAhead<std::string> work(8, Shout);
    work.Ask(0, "a");
    work.Ask(1, "b");
    work.Ask(2, "bad");
    // Row 1 now holds another path: nothing asked can be trusted.
    EXPECT_EQ(work.Take(0, "a"), "a!");
    EXPECT_EQ(work.Take(1, "moved"), std::nullopt);
    EXPECT_EQ(work.Take(2, "bad"), std::nullopt);
    EXPECT_EQ(work.Room(), 8u);
    work.Ask(3, "bad");
    EXPECT_THROW(work.Take(3, "bad"), std::runtime_error);
    // A drop forgets all that was asked, and a new list may start from its first item.
    work.Ask(4, "c");
    work.Ask(5, "d");
    work.Drop();
    EXPECT_EQ(work.Room(), 8u);
    work.Ask(0, "e");
    EXPECT_EQ(work.Take(0, "e"), "e!");
}

}  // namespace
}  // namespace threads
