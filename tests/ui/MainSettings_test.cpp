// The window's settings: what it reads from the file as it opens and writes as it closes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "MainWindowSupport.h"

namespace {

using uitest::TWindowUnderTest;

class MainSettings : public testing::Test {
protected:
    std::string Ini() const { return config / "orbel-kelvane/kelvane.ini"; }

    void WriteIni(const std::string& text) const {
        std::filesystem::create_directories(config / "orbel-kelvane");
        std::ofstream(Ini()) << text;
    }

    // The section and key lines of the file, in order.
    std::vector<std::string> Entries() const {
        std::istringstream in(testsupport::ReadFile(Ini()));
        std::vector<std::string> entries;
        for (std::string line; std::getline(in, line);)
            if (!line.empty())
                entries.push_back(line);
        return entries;
    }

    testsupport::TempDir config;
};

TEST_F(MainSettings, NoFileGivesTheDefaultsAndClosingWritesEveryKey) {
    {
        // The rest of the defaults show in what the close writes.
        TWindowUnderTest w(config.Path());
        EXPECT_TRUE(w.Find<QToolButton>("btnDetails").isChecked());
    }
    std::vector<std::string> entries = Entries();
    ASSERT_EQ(entries.size(), 33u);
    EXPECT_EQ(entries[2].substr(0, 5), "Left=");
    EXPECT_EQ(entries[3].substr(0, 4), "Top=");
    entries.erase(entries.begin() + 2, entries.begin() + 4);
    // The window opens wide enough for the columns, within the screen; the columns of the
    // locale's texts are at least as wide as their design widths (for an eight-point font) and
    // their titles.
    const std::pair<std::string, int> atLeast[] = {
        {"Width", 711}, {"Column3", 102}, {"Column4", 102}, {"Column5", 69}, {"Column6", 45}};
    for (const auto& [key, least] : atLeast) {
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&](const auto& e) { return e.rfind(key + "=", 0) == 0; });
        ASSERT_NE(entry, entries.end()) << key;
        EXPECT_GE(std::stoi(entry->substr(key.size() + 1)), least) << key;
        if (key == "Width") {
            EXPECT_LE(std::stoi(entry->substr(6)),
                      QApplication::primaryScreen()->availableGeometry().width());
        }
        entries.erase(entry);
    }
    EXPECT_EQ(entries,
              (std::vector<std::string>{
                  "[Window]",       "Maximized=0", "Height=463",           "Toolbar=1",
                  "StatusBar=1",    "[Settings]",  "SortWithFolderName=0", "ShortDateFormat=0",
                  "[ListView]",     "ViewStyle=3", "Column0=200",          "Column1=55",
                  "Column2=51",     "Column7=200", "GridLines=0",          "[Parameters]",
                  "ShiftEarlier=0", "ShiftDays=0", "ShiftHours=0",         "ShiftMinutes=0",
                  "ShiftSeconds=0", "CopyFrom=1",  "FromExif=1",           "FromID3v2=1",
                  "FromName=1",     "ID3v2=0"}));
}

// What a file sets in a window, seen in the controls and in what the next close writes back:
// a value that was not taken would be written as its default.
TEST_F(MainSettings, TheFileSetsTheWindowAndTheNextCloseWritesItBack) {
    struct Case {
        const char* ini;
        std::function<void(TWindowUnderTest&)> check;
        std::vector<std::string> written;
    };
    const Case cases[] = {
        {"[Window]\nLeft=0x64\nWidth=800\n", nullptr, {"Left=100", "Width=800"}},
        // Stored on a larger screen: the window still fits this one.
        {"[Window]\nWidth=5000\nHeight=4000\n",
         [](TWindowUnderTest& w) {
             const QSize screen = QApplication::primaryScreen()->availableGeometry().size();
             EXPECT_LE(w.window.width(), screen.width());
             EXPECT_LE(w.window.height(), screen.height());
         },
         {}},
        // Not a style of the list: details, with no view button down.
        {"[ListView]\nViewStyle=7\n",
         [](TWindowUnderTest& w) {
             for (const char* button : {"btnIcons", "btnSmallIcons", "btnList", "btnDetails"})
                 EXPECT_FALSE(w.Find<QToolButton>(button).isChecked()) << button;
         },
         {"ViewStyle=3"}},
        // Maximized: the placement of the last restored close stays.
        {"[Window]\nMaximized=1\nLeft=7\nToolbar=0\n[Settings]\nShortDateFormat=1\n"
         "[ListView]\nViewStyle=1\nColumn1=90\nGridLines=1\n",
         [](TWindowUnderTest& w) {
             EXPECT_TRUE(w.window.isMaximized());
             EXPECT_TRUE(w.Find<QToolBar>("tbFileList").isHidden());
             EXPECT_TRUE(w.Find<QToolButton>("btnSmallIcons").isChecked());
         },
         {"Maximized=1", "Left=7", "Toolbar=0", "ShortDateFormat=1", "ViewStyle=1", "Column1=90",
          "GridLines=1"}},
        // The Parameters page's values; an hour of 24 is none, nor a fourth date to copy from.
        {"[parameters]\nShiftEarlier=1\nShiftDays=400\nShiftHours=24\nShiftMinutes=30\n"
         "ShiftSeconds=5\nCopyFrom=0\nFromExif=0\nFromName=0\nID3v2=1\n",
         nullptr,
         {"ShiftEarlier=1", "ShiftDays=400", "ShiftHours=0", "ShiftMinutes=30", "ShiftSeconds=5",
          "CopyFrom=0", "FromExif=0", "FromID3v2=1", "FromName=0", "ID3v2=1"}},
        {"[Parameters]\nCopyFrom=3\nShiftDays=-1\n", nullptr, {"CopyFrom=1", "ShiftDays=0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        WriteIni(c.ini);
        {
            TWindowUnderTest w(config.Path());
            if (c.check)
                c.check(w);
        }
        const std::vector<std::string> entries = Entries();
        for (const std::string& entry : c.written)
            EXPECT_NE(std::find(entries.begin(), entries.end(), entry), entries.end()) << entry;
    }
}

TEST_F(MainSettings, AFileThatCannotBeWrittenIsNamedOnceAndTheWindowStillCloses) {
    std::filesystem::create_directories(Ini());  // a folder where the file would be
    const uitest::TMessageBoxCatcher boxes;
    std::optional<TWindowUnderTest> w(std::in_place, config.Path());
    w.reset();
    EXPECT_EQ(boxes.shown, (std::vector<QString>{QString::fromStdString(
                               "Orbel Kelvane: Unable to write to " + Ini())}));
}

}  // namespace
