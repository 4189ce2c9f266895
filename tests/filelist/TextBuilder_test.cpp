#include "filelist/TextBuilder.h"

#include <gtest/gtest.h>

#include <vector>

namespace filelist {
namespace {

// Pieces of any length come out whole and in order, after what the text already held.
TEST(TextBuilderTest, GivesThePiecesInOrderAtAnyLength) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"29.02.2004", "  ", "09:05"},
        {std::string(63, 'a'), "b"},
        {std::string(64, 'a'), "b", "c"},
        {"x", std::string(100, 'y'), "z"},
    };
    for (const auto& pieces : cases) {
        std::string out = "\t";
        TTextBuilder text(out);
        std::string expected = "\t";
        for (const std::string& piece : pieces) {
            text.Append(piece);
            text.Append('|');
            expected += piece + '|';
        }
        EXPECT_EQ(out, expected);
    }
}

}  // namespace
}  // namespace filelist
