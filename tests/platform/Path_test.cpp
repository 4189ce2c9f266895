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

}  // namespace
}  // namespace platform
