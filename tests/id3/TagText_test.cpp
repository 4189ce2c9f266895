#include "id3/TagText.h"

#include <gtest/gtest.h>

namespace {

TEST(TagText, Utf8Validity) {
    struct Case {
        const char* bytes;
        bool valid;
    };
    const Case cases[] = {
        {"plain ASCII", true},
        {"\xC3\xA9", true},           // é
        {"\xE2\x82\xAC", true},       // €
        {"\xF0\x9F\x8E\xB5", true},   // musical note, outside the BMP
        {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
        {"\xE9", false},              // Windows-1252 é
        {"\xC3", false},              // cut short
        {"\xC0\xAF", false},          // overlong "/"
        {"\xE0\x80\xAF", false},      // overlong "/"
        {"\xED\xA0\x80", false},      // surrogate
        {"\xF4\x90\x80\x80", false},  // past U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\x80", false},  // stray continuation
        {"\xE2\x82", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(id3::IsValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
    }
}

TEST(TagText, Windows1252CoversTheWholeUpperHalf) {
    EXPECT_EQ(id3::Windows1252ToUtf8("\x80\x8A\x9F"), "\xE2\x82\xAC\xC5\xA0\xC5\xB8");
    EXPECT_EQ(id3::Windows1252ToUtf8("\xA0\xC4\xFF"), "\xC2\xA0\xC3\x84\xC3\xBF");
    // Undefined in the code page: kept as the control character of the same value.
    EXPECT_EQ(id3::Windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"),
              "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        EXPECT_TRUE(id3::IsValidUtf8(id3::Windows1252ToUtf8(std::string(1, char(byte)))));
    }
}

TEST(TagText, KeepsValidUtf8AndConvertsTheRest) {
    EXPECT_EQ(id3::TagTextToUtf8("Motörhead"), "Motörhead");
    EXPECT_EQ(id3::TagTextToUtf8("Mot\xF6rhead"), "Motörhead");
    // One stray byte makes the whole text Windows-1252, the valid-looking pair included.
    EXPECT_EQ(id3::TagTextToUtf8("\xC3\xA9\xE9"), "\xC3\x83\xC2\xA9\xC3\xA9");
}

}  // namespace
