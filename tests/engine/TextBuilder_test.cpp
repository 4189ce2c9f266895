#include "engine/TextBuilder.h"

#include <gtest/gtest.h>

#include <vector>

namespace engine {
namespace {

// Pieces of every length around what the stack holds come out whole and in order.
TEST(TextBuilderTest, GivesThePiecesInOrderAtAnyLength) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"29.02.2004", "  ", "09:05"},
        {std::string(63, 'a'), "b"},
        {std::string(64, 'a'), "b", "c"},
        {"x", std::string(100, 'y'), "z"},
    };
    for (const auto& pieces : cases) {
        TTextBuilder text;
        std::string expected;
        for (const std::string& piece : pieces) {
            text.Append(piece);
            text.Append('|');
            expected += piece + '|';
        }
        EXPECT_EQ(text.Take(), expected);
    }
}

}  // namespace
}  // namespace engine
