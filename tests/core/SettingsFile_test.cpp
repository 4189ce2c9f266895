#include "core/SettingsFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
