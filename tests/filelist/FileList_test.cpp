#include "filelist/FileList.h"
#include "platform/Path.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "filelist/ColumnText.h"
#include "platform/FileSystem.h"
#include "support/LocaleScope.h"
#include "support/TempDir.h"

namespace filelist {
namespace {

using testsupport::TempDir;

TEST(FolderTextTest, PathWithoutItsLastComponent) {
    const struct {
        std::string path;
        std::string folder;
    } cases[] = {{"/data/notes.txt", "/data"}, {"/notes.txt", "/"}, {"/a/b/c", "/a/b"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FolderText(c.path), c.folder) << c.path;
        // The path is formed back from the two parts.
        EXPECT_EQ(
            platform::JoinPath(std::string(FolderText(c.path)), platform::LastComponent(c.path)),
            c.path);
    }
}

TEST(FileListTest, RowHoldsTheEightColumnTexts) {
    testsupport::LocaleScope scope("en_US.UTF-8", "UTC");
    if (!scope.Available())
        GTEST_SKIP() << "en_US.UTF-8 is not generated";
    TempDir dir;
    const std::string file = dir.Write("report.txt", std::string(1234567, 'x'));
    ASSERT_TRUE(
        platform::SetFileAttributes(file, platform::kAttrReadOnly | platform::kAttrArchive));
    TFileList list;
    ASSERT_TRUE(list.AddFileRow(file, AddFolderMode::FilesOnly));
    const FileRow& row = list.Row(0);
    EXPECT_EQ(row.caption, "report.txt");
    EXPECT_EQ(row.Text(ListColumn::Size), "1,234,567");
    EXPECT_EQ(row.Text(ListColumn::Type), GetTypeName(file));
    EXPECT_EQ(row.Text(ListColumn::Created), GetCreatedText(file));
    EXPECT_EQ(row.Text(ListColumn::Modified), GetModifiedText(file));
    EXPECT_EQ(row.Text(ListColumn::Opened), GetOpenedText(file));
    EXPECT_EQ(row.Text(ListColumn::Attributes), "RA");
    EXPECT_EQ(row.Text(ListColumn::Folder), dir.Path());
    EXPECT_FALSE(row.checked);
    EXPECT_FALSE(row.selected);
    EXPECT_EQ(list.Path(0), file);
}

TEST(FileListTest, ControlCharactersShowAsMarksAndThePathKeepsThem) {
    const struct {
        std::string_view name;
        std::string_view shown;
    } cases[] = {
        {"plain.txt", "plain.txt"},
        {"new\nline.mp3", "new\u21B5line.mp3"},
        {"a\tb\rc\x1b", "a\u2192b\u21B5c\uFFFD"},
        {std::string_view("nul\0del\x7f", 8), "nul\uFFFDdel\uFFFD"},
        {"nel\xc2\x85!", "nel\uFFFD!"},
        {"caf\xc3\xa9 \xff", "caf\xc3\xa9 \xff"},  // letters and bytes that are not UTF-8 stay
    };
    for (const auto& c : cases) {
        std::string shown;
        AppendShownName(c.name, shown);
        EXPECT_EQ(shown, c.shown) << c.name;
    }

    TempDir dir;
    ASSERT_EQ(mkdir((dir / "sub\tdir").c_str(), 0700), 0);
    const std::string file = dir.Write("sub\tdir/new\nline.mp3");
    TFileList list;
    ASSERT_TRUE(list.AddFileRow(file, AddFolderMode::FilesOnly));
    EXPECT_EQ(list.Row(0).Text(ListColumn::Name), "new\u21B5line.mp3");
    EXPECT_EQ(list.Row(0).Text(ListColumn::Folder), dir.Path() + "/sub\u2192dir");
    EXPECT_EQ(list.Path(0), file);
}

// The desktop's type is asked only when a row is shown; a row renamed before that still shows
// the type of the name it was made with.
TEST(FileListTest, RenamedRowKeepsTheTypeItWasMadeWith) {
    TempDir dir;
    const std::string file = dir.Write("notes.txt");
    TFileList list;
    ASSERT_TRUE(list.AddFileRow(file, AddFolderMode::FilesOnly));
    list.SetCaption(0, "notes.gif");
    EXPECT_EQ(list.Row(0).Text(ListColumn::Type), GetTypeName(file));
}

// A row shows the regional formats in force when it was made, even after the locale changed
// twice since, while a row made after a change shows the new ones.
TEST(FileListTest, RowKeepsTheFormatsOfTheLocaleItWasMadeIn) {
    struct Case {
        const char* locale;
        const char* size;
        const char* modified;
    };
    const Case cases[] = {
        {"C", "1234567", "02/29/04  10:15"},
        {"de_DE.UTF-8", "1.234.567", "29.02.2004  10:15"},
        {"en_US.UTF-8", "1,234,567", "02/29/2004  10:15 AM"},
    };
    TempDir dir;
    const std::string file = dir.Write("report.txt", std::string(1234567, 'x'));
    const timespec written[2] = {{0, UTIME_OMIT}, {1078049700, 0}};  // 2004-02-29 10:15 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), written, 0), 0);
    TFileList list;
    for (const Case& c : cases) {
        const testsupport::LocaleScope scope(c.locale, "UTC");
        if (!scope.Available())
            GTEST_SKIP() << c.locale << " is not generated";
        ASSERT_TRUE(list.AddFileRow(file, AddFolderMode::FilesOnly));
        EXPECT_EQ(list.Row(list.RowCount() - 1).Text(ListColumn::Size), c.size) << c.locale;
    }
    const testsupport::LocaleScope zone("C", "UTC");
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(list.Row(row).Text(ListColumn::Size), c.size) << c.locale;
        EXPECT_EQ(list.Row(row++).Text(ListColumn::Modified), c.modified) << c.locale;
    }
}

TEST(FileListTest, AddModesDecideWhatIsAdded) {
    TempDir dir;
    const std::string file = dir.Write("a.txt");
    const std::string folder = dir / "sub";
    mkdir(folder.c_str(), 0755);
    const std::string systemFolder = dir / "sys";
    mkdir(systemFolder.c_str(), 0755);
    ASSERT_TRUE(platform::SetFileAttributes(systemFolder, platform::kAttrSystem));

    const struct {
        AddFolderMode mode;
        bool file, folder;
    } cases[] = {
        {AddFolderMode::FilesOnly, true, false},
        {AddFolderMode::FilesAndFolders, true, true},
        {AddFolderMode::FoldersOnly, false, true},
    };
    for (const auto& c : cases) {
        TFileList list;
        EXPECT_EQ(list.AddFileRow(file, c.mode), c.file);
        EXPECT_EQ(list.AddFileRow(folder, c.mode), c.folder);
        EXPECT_FALSE(list.AddFileRow(systemFolder, c.mode));  // never, in any mode
        EXPECT_FALSE(list.AddFileRow(dir / "missing", c.mode));
        if (c.folder) {
            EXPECT_EQ(list.Row(list.RowCount() - 1).Text(ListColumn::Attributes), "D");
        }
    }
}

TEST(FileListTest, HiddenSystemFileAndEmptyFile) {
    TempDir dir;
    const std::string file = dir.Write("pagefile.sys");
    ASSERT_TRUE(platform::SetFileAttributes(
        file, platform::kAttrHidden | platform::kAttrSystem | platform::kAttrArchive));
    TFileList list;
    ASSERT_TRUE(list.AddFileRow(file, AddFolderMode::FilesOnly));
    EXPECT_EQ(list.Row(0).Text(ListColumn::Attributes), "HSA");
    EXPECT_EQ(list.Row(0).Text(ListColumn::Size), "0");
}

TEST(FileListTest, SamePathTwiceGivesTwoRows) {
    TempDir dir;
    const std::string file = dir.Write("a.txt", "abc");
    TFileList list;
    list.AddFileRow(file, AddFolderMode::FilesOnly);
    list.AddFileRow(file, AddFolderMode::FilesOnly);
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.Row(0).caption, list.Row(1).caption);
    for (int column = 0; column < kListColumnCount; ++column) {
        const auto text = static_cast<ListColumn>(column);
        EXPECT_EQ(list.Row(0).Text(text), list.Row(1).Text(text));
    }
    EXPECT_EQ(list.ObjectCountText(), "2 object(s)");
}

// Records the events of a list as text, in order.
class EventLog : public IFileListObserver {
public:
    void RowsInserted(int first, int last) override { Log("+", first, last); }
    void RowsRemoved(int first, int last) override { Log("-", first, last); }
    void RowChanged(int row, ListColumn column) override {
        events.push_back("~" + std::to_string(row) + ":" +
                         std::to_string(static_cast<int>(column)));
    }
    void RowsMoved() override { events.push_back("moved"); }
    std::vector<std::string> events;

private:
    void Log(const char* kind, int first, int last) {
        events.push_back(kind + std::to_string(first) + ".." + std::to_string(last));
    }
};

// A list of files named by letter, with the given rows selected.
class FileListEditTest : public ::testing::Test {
protected:
    void Fill(const std::string& names, const std::string& selected) {
        for (const char name : names)
            list.AddFileRow(dir.Write(std::string(1, name)), AddFolderMode::FilesOnly);
        for (const char name : selected)
            list.SetSelected(static_cast<int>(names.find(name)), true);
        list.SetObserver(&log);
    }
    std::string Captions() const {
        std::string out;
        for (const FileRow& row : list.Rows())
            out += row.caption;
        return out;
    }
    TempDir dir;
    TFileList list;
    EventLog log;
};

TEST_F(FileListEditTest, ChangesAreReportedOneByOne) {
    Fill("a", "");
    list.AddFileRow(dir.Write("b"), AddFolderMode::FilesOnly);
    list.SetChecked(0, true);
    list.SetSize(1, 9);
    list.SetCaption(1, "c");
    list.Clear();
    EXPECT_EQ(log.events, (std::vector<std::string>{"+1..1", "~0:0", "~1:1", "~1:0", "-0..1"}));
}

TEST_F(FileListEditTest, RemoveSelectedGoesFromTheLastRowByRuns) {
    Fill("abcdef", "bcf");
    EXPECT_EQ(list.RemoveSelected(), 3);
    EXPECT_EQ(Captions(), "ade");
    EXPECT_EQ(log.events, (std::vector<std::string>{"-5..5", "-1..2"}));
}

TEST_F(FileListEditTest, RemoveFolderFoldsOnlyAsciiCase) {
    mkdir((dir / "Sub").c_str(), 0755);
    list.AddFileRow(dir.Write("a"), AddFolderMode::FilesOnly);
    list.AddFileRow(dir.Write("Sub/b"), AddFolderMode::FilesOnly);
    // The same folder spelt in other letter case goes too; a subfolder's row stays.
    FileRow upper = *MakeFileRow(dir.Write("c"), AddFolderMode::FilesOnly);
    upper.SetFolder(platform::AsciiUpper(upper.Folder()));
    list.AppendRow(upper);
    EXPECT_EQ(list.RemoveFolderOf(0), 2);
    EXPECT_EQ(Captions(), "b");
}

TEST_F(FileListEditTest, InvertingTwiceGivesTheMarksBack) {
    Fill("abcde", "bd");
    list.SetChecked(0, true);
    list.InvertSelection();
    list.InvertChecked();
    std::string marks;
    for (const FileRow& row : list.Rows())
        marks += std::string(row.selected ? "s" : "-") + (row.checked ? "c" : "-");
    EXPECT_EQ(marks, "s--csc-csc");
    list.InvertSelection();
    list.InvertChecked();
    EXPECT_TRUE(list.Row(1).selected && list.Row(3).selected && list.Row(0).checked);
    EXPECT_FALSE(list.Row(0).selected || list.Row(1).checked);
}

}  // namespace
}  // namespace filelist
