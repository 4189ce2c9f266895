#include "platform/Path.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(PathTest, Components) {
    struct Case {
        const char* path;
        const char* lastComponent;
        const char* extension;
        const char* folder;
    };
    const Case cases[] = {
        {"/a/song.mp3", "song.mp3", ".mp3", "/a"},
        {"/a.b/song", "song", "", "/a.b"},
        {"/a/x.tar.GZ", "x.tar.GZ", ".GZ", "/a"},
        // A name that is only an extension is a file of that type.
        {"/a/.gif", ".gif", ".gif", "/a"},
        {"/a/b/", "b", "", "/a"},
        {"/", "/", "", "/"},
        {"name", "name", "", "."},
        {"/top", "top", "", "/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LastComponent(c.path), c.lastComponent) << c.path;
        EXPECT_EQ(ExtensionOf(c.path), c.extension) << c.path;
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    }
}

TEST(PathTest, AsciiCaseTouchesOnlyAsciiLetters) {
    EXPECT_EQ(AsciiLower("\xc3\x89"
                         "COLE.TXT"),
              "\xc3\x89"
              "cole.txt");  // É stays
    EXPECT_EQ(AsciiUpper("\xc3\xa9t\xc3\xa9.txt"), "\xc3\xa9T\xc3\xa9.TXT");
    EXPECT_EQ(AsciiUpper("a\xff"
                         "b"),
              "A\xff"
              "B");
}

TEST(PathTest, ControlCharacters) {
    const struct {
        std::string_view text;
        bool control;
    } cases[] = {
        {"Artist - Title.mp3", false},
        {"tab\there", true},
        {std::string_view("nul\0", 4), true},
        {"line\nbreak", true},
        {"\x1f", true},
        {"del\x7f", true},
        {"\xc2\x80", true},                   // U+0080
        {"next\xc2\x85line", true},           // U+0085 NEL
        {"\xc2\x9f", true},                   // U+009F
        {"\xc2\xa0no-break space", false},    // U+00A0
        {"caf\xc3\xa9 \xe2\x82\xac", false},  // é, €
        {"\xc3\x85ngstr\xc3\xb6m", false},    // Å: 0x85 as a continuation of another letter
        {"stray \x85 byte", false},           // not UTF-8, and no control either
        {"ends in \xc2", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasControlCharacter(c.text), c.control) << c.text;
}

}  // namespace
}  // namespace platform
