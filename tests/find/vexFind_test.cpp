// The rules of the search component that need no tree: properties, masks, roots, and the
// chunked text search of one file.

#include "find/vexFind.h"

#include <gtest/gtest.h>

#include "find/FindEventLoop.h"
#include "find/FindMask.h"
#include "find/FindText.h"
#include "find/FolderWalk.h"
#include "vexFindSupport.h"

namespace {

using namespace vexfind;

TEST(VexFindProperties, DefaultsAndSetterRules) {
    TFindEventLoop loop;
    TVexFind finder(loop);
    EXPECT_EQ(finder.FileMask(), "*.exe");
    EXPECT_EQ(finder.Drives(), "C");
    EXPECT_EQ(finder.ThreadPriority(), TThreadPriority::tpNormal);
    EXPECT_FALSE(finder.CaseSensitive());
    EXPECT_EQ(finder.ContainingText(), "");
    EXPECT_EQ(finder.Directories().Count(), 0u);
    EXPECT_TRUE(finder.Files().empty());
    EXPECT_FALSE(finder.Searching());

    finder.SetDrives("a1:b");
    EXPECT_EQ(finder.Drives(), "AB");
    finder.SetDrives("c:dc");
    EXPECT_EQ(finder.Drives(), "CDC");
    finder.SetDrives("/home/x");
    EXPECT_EQ(finder.Drives(), "HOMEX");
    finder.SetDrives("1:\\");
    EXPECT_EQ(finder.Drives(), "");

    // Sorted without regard to case; on Linux only an exact duplicate is the same folder.
    finder.SetDirectories({"/b", "", "/A", "/a", "/B", "/a"});
    EXPECT_EQ(finder.Directories().Items(), (std::vector<std::string>{"/A", "/a", "/B", "/b"}));
    finder.Directories().Clear();
    finder.Directories().Add("/music");
    finder.Directories().Add("/Jazz");
    EXPECT_EQ(finder.Directories().Items(), (std::vector<std::string>{"/Jazz", "/music"}));
}

TEST(FindMask, MatchesLikeAWindowsDirectorySearch) {
    struct Case {
        const char* mask;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.*", "readme.txt", true},
        {"*.*", "Makefile", true},
        {"*.*", ".hidden", true},
        {"*", "anything.at.all", true},
        {"*.exe", "SETUP.EXE", true},
        {"*.exe", "setup.exe.bak", false},
        {"*.EXE", "setup.exe", true},
        {"*.txt", "txt", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"a?c",
         "a\xC3\xA9"
         "c",
         true},  // ? takes one character, é is two bytes
        {"??", "\xC3\xA9", false},
        {"readme.*", "readme", true},
        {"readme.*", "readme.md", true},
        {"readme.*", "readmes", false},
        {"*a*b", "xxaxb_b", true},
        {"*a*b", "xxaxb_c", false},
        {"[ab]", "a", false},
        {"a*", "ba", false},
        {"\xC3\xA9*", "\xC3\xA9t\xC3\xA9", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.mask << " vs " << c.name;
    }
}

TEST(FolderWalk, RootsOnTheOneLinuxTree) {
    struct Case {
        std::string drives;
        std::vector<std::string> directories;
        std::vector<std::string> roots;
    };
    const Case cases[] = {
        {"C", {}, {"/"}},
        {"CD", {}, {"/"}},  // every letter names the same tree: walked once
        {"", {"/data"}, {}},
        {"C", {"Temp"}, {"/Temp"}},
        {"C", {"/data/", "/", "music/x//"}, {"/data", "/", "/music/x"}},
        {"CD", {"/a", "a", "/a/"}, {"/a"}},
        {"C", {""}, {"/"}},  // an empty entry added directly: the whole tree, like a drive root
    };
    for (const Case& c : cases) {
        FindOptions options;
        options.drives = c.drives;
        options.directories = c.directories;
        EXPECT_EQ(WalkRoots(options), c.roots) << c.drives << " " << c.directories.size();
    }
}

TEST(FindText, SeesMatchesAcrossEveryChunkBoundary) {
    testsupport::TempDir dir;
    const std::string needle = "Needle";
    const std::size_t size = 3 * kTextChunkSize;
    // The first chunk ends at 32,767; each next one starts a text length before the end of the
    // one before.
    const std::size_t secondEnd = 2 * kTextChunkSize - needle.size();
    const std::size_t positions[] = {0,
                                     kTextChunkSize - needle.size(),
                                     kTextChunkSize - needle.size() + 1,
                                     kTextChunkSize - 3,
                                     kTextChunkSize - 1,
                                     kTextChunkSize,
                                     secondEnd - 4,
                                     size - needle.size()};
    const auto never = [] { return false; };
    for (const std::size_t position : positions) {
        std::string content(size, 'x');
        content.replace(position, needle.size(), "NEEDLE");
        const std::string path = dir.Write("f.bin", content);
        SCOPED_TRACE(position);
        EXPECT_TRUE(FileContainsText(path, size, "needle", false, never));
        EXPECT_FALSE(FileContainsText(path, size, "Needle", true, never));
        EXPECT_FALSE(FileContainsText(path, position + needle.size() - 1, "needle", false, never));
    }
    const std::string path = dir.Write("g.bin", std::string(size, 'x'));
    EXPECT_FALSE(FileContainsText(path, size, "needle", false, never));
    EXPECT_FALSE(FileContainsText(dir / "missing", size, "x", true, never));
}

TEST(FindText, TextLongerThanAChunkStillAdvances) {
    testsupport::TempDir dir;
    const std::string text(kTextChunkSize + 10, 'n');
    std::string content(4 * kTextChunkSize, 'x');
    content.replace(2 * kTextChunkSize + 5, text.size(), text);
    const std::string path = dir.Write("big.bin", content);
    const auto never = [] { return false; };
    EXPECT_TRUE(FileContainsText(path, content.size(), text, true, never));
    EXPECT_FALSE(FileContainsText(path, content.size(), text + "n", true, never));
}

TEST(FindText, FoldsOnlyPlainLetters) {
    testsupport::TempDir dir;
    const std::string content = "caf\xC3\x89 MIXED Case";
    const std::string path = dir.Write("f.txt", content);
    const auto never = [] { return false; };
    EXPECT_TRUE(FileContainsText(path, content.size(), "mixed case", false, never));
    EXPECT_TRUE(FileContainsText(path, content.size(), "caf\xC3\x89", false, never));
    // É is not A-Z: its small form does not match.
    EXPECT_FALSE(FileContainsText(path, content.size(), "caf\xC3\xA9", false, never));
}

}  // namespace
