#include "core/SettingsFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>


#include "support/TempDir.h"

namespace core {
namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

TEST(SettingsFileTest, IntegersInEveryFormTheFileMayHold) {
    TempDir dir;
    const std::string path = dir.Write("kelvane.ini",
                                       "[window]\nLEFT=0x64\nTop=abc\nHeight=$1F\nWidth=-5\n"
                                       "Toolbar=0\nStatusBar=2\nMaximized=0x\n");
    const TSettingsFile settings(path);
    EXPECT_EQ(settings.ReadInteger("Window", "Left", 7), 100);  // names match in any case
    EXPECT_EQ(settings.ReadInteger("Window", "Top", 7), 7);     // not a number: the default
    EXPECT_EQ(settings.ReadInteger("Window", "Height", 7), 31);
    EXPECT_EQ(settings.ReadInteger("Window", "Width", 7), -5);
    EXPECT_EQ(settings.ReadInteger("Window", "Missing", 7), 7);
    EXPECT_FALSE(settings.ReadBool("Window", "Toolbar", true));
    EXPECT_TRUE(settings.ReadBool("Window", "StatusBar", false));
    EXPECT_TRUE(settings.ReadBool("Window", "Maximized", true));  // "0x" is malformed
}

TEST(SettingsFileTest, SavingKeepsWhatOthersWroteAndMakesTheFolder) {
    TempDir dir;
    const std::string path =
        dir.Write("kelvane.ini", "; mine\n[Other]\nKey=value\n[Window]\nLeft=1\n");
    TSettingsFile settings(path);
    settings.WriteInteger("window", "left", 42);
    settings.WriteBool("ListView", "GridLines", true);
    ASSERT_TRUE(settings.Save());
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("; mine"), std::string::npos);
    EXPECT_NE(text.find("Key=value"), std::string::npos);
    EXPECT_EQ(TSettingsFile(path).ReadInteger("Window", "Left", 0), 42);
    EXPECT_TRUE(TSettingsFile(path).ReadBool("ListView", "GridLines", false));

    TSettingsFile fresh(dir / "new/deeper/kelvane.ini");
    fresh.WriteBool("Window", "Toolbar", true);
    EXPECT_TRUE(fresh.Save());
    EXPECT_EQ(ReadFile(dir / "new/deeper/kelvane.ini"), "[Window]\nToolbar=1\n");
}

// A link the user made to a file elsewhere is read and written through; anything else that is
// not a regular file stays as it is, and a FIFO is never waited on.
TEST(SettingsFileTest, WhatStandsAtThePath) {
    TempDir dir;
    const std::string kept = "; mine\n[Custom]\nKey=value\n[Window]\nLeft=5\n";
    const std::string target = dir.Write("elsewhere.ini", kept);
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);
    const struct {
        const char* name;
        const char* linkTo;  // nullptr: the entry above is at the path itself
        int left;            // as read
        bool saved;
    } cases[] = {
        {"link.ini", "elsewhere.ini", 5, true}, {"fifo", nullptr, 9, false},
        {"folder", nullptr, 9, false},          {"to-fifo.ini", "fifo", 9, false},
        {"to-folder.ini", "folder", 9, false},  {"dangling.ini", "nothing.ini", 9, false},
    };
    for (const auto& c : cases) {
        const std::string path = dir / c.name;
        if (c.linkTo) {
            ASSERT_EQ(symlink(c.linkTo, path.c_str()), 0);
        }
        struct stat before {};
        ASSERT_EQ(lstat(path.c_str(), &before), 0);
        TSettingsFile settings(path);
        EXPECT_EQ(settings.ReadInteger("Window", "Left", 9), c.left) << c.name;
        settings.WriteInteger("Window", "Left", 6);
        EXPECT_EQ(settings.Save(), c.saved) << c.name;
        struct stat after {};
        ASSERT_EQ(lstat(path.c_str(), &after), 0) << c.name;
        EXPECT_EQ(after.st_mode, before.st_mode) << c.name;
        EXPECT_EQ(after.st_ino, before.st_ino) << c.name;
    }
    EXPECT_EQ(TSettingsFile(target).ReadInteger("Window", "Left", 9), 6);
    EXPECT_NE(ReadFile(target).find("; mine"), std::string::npos);
    EXPECT_NE(ReadFile(target).find("[Custom]\nKey=value\n"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(std::filesystem::exists(dir / "nothing.ini"));
}

TEST(SettingsFileTest, GarbageGivesDefaultsAndAnImpossibleFolderFailsTheSave) {
    TempDir dir;
    std::string garbage(10'000'000, 'x');  // one line of ten megabytes
    garbage += std::string("\0\xff\n[Window]\nLeft=", 17) + std::string(2000, '7') + "\n";
    TSettingsFile settings(dir.Write("kelvane.ini", garbage));
    EXPECT_EQ(settings.ReadInteger("Window", "Left", 5), 5);  // too long to be a setting
    EXPECT_EQ(settings.ReadInteger("Window", "Top", 6), 6);

    dir.Write("file", "in the way");
    TSettingsFile blocked(dir / "file/orbel-kelvane/kelvane.ini");
    blocked.WriteInteger("Window", "Left", 1);
    EXPECT_FALSE(blocked.Save());
}

TEST(SettingsFileTest, WhereTheFileLives) {
    TempDir dir;
    const std::string exe = dir.Write("kelvane");
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    EXPECT_EQ(SettingsPath(exe), dir / "config/orbel-kelvane/kelvane.ini");
    dir.Write("kelvane.ini");  // carried beside the program: used there
    EXPECT_EQ(SettingsPath(exe), dir / "kelvane.ini");
    EXPECT_TRUE(MayWriteSettings(dir / "config/orbel-kelvane/kelvane.ini"));
    EXPECT_EQ(UnableToWrite("/x.ini"), "Unable to write to /x.ini");
}

}  // namespace
}  // namespace core
