#include "filelist/FileList.h"
#include "platform/Path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine/RunEngine.h"
#include "engine/TymoUtils.h"
#include "platform/FileSystem.h"
#include "support/LocaleScope.h"
#include "support/TempDir.h"

namespace filelist {
namespace {

using engine::RowText;
using testsupport::TempDir;

TEST(FolderTextTest, PathWithoutItsLastComponent) {
    EXPECT_EQ(FolderText("/data/notes.txt"), "/data");
    EXPECT_EQ(FolderText("/notes.txt"), "/");
    EXPECT_EQ(FolderText("/a/b/c"), "/a/b");
    // The path is formed back from the two parts.
    for (const std::string path : {"/notes.txt", "/data/notes.txt"}) {
        EXPECT_EQ(engine::IncludeBackslash(FolderText(path)) + platform::LastComponent(path), path);
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
    ASSERT_TRUE(list.AddFileRow(file));
    const FileRow& row = list.Row(0);
    EXPECT_EQ(row.caption, "report.txt");
    EXPECT_EQ(row.Text(RowText::Size), "1,234,567");
    EXPECT_EQ(row.Text(RowText::Type), engine::GetTypeName(file));
    EXPECT_EQ(row.Text(RowText::Created), engine::GetCreatedText(file));
    EXPECT_EQ(row.Text(RowText::Modified), engine::GetModifiedText(file));
    EXPECT_EQ(row.Text(RowText::Opened), engine::GetOpenedText(file));
    EXPECT_EQ(row.Text(RowText::Attributes), "RA");
    EXPECT_EQ(row.Text(RowText::Folder), dir.Path());
    EXPECT_FALSE(row.checked);
    EXPECT_FALSE(row.selected);
    EXPECT_EQ(engine::RowPath(list, 0), file);
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
        list.addFolderMode = c.mode;
        EXPECT_EQ(list.AddFileRow(file), c.file);
        EXPECT_EQ(list.AddFileRow(folder), c.folder);
        EXPECT_FALSE(list.AddFileRow(systemFolder));  // never, in any mode
        EXPECT_FALSE(list.AddFileRow(dir / "missing"));
        if (c.folder) {
            EXPECT_EQ(list.Row(list.RowCount() - 1).Text(RowText::Attributes), "D");
        }
    }
}

TEST(FileListTest, HiddenSystemFileAndEmptyFile) {
    TempDir dir;
    const std::string file = dir.Write("pagefile.sys");
    ASSERT_TRUE(platform::SetFileAttributes(
        file, platform::kAttrHidden | platform::kAttrSystem | platform::kAttrArchive));
    TFileList list;
    ASSERT_TRUE(list.AddFileRow(file));
    EXPECT_EQ(list.Row(0).Text(RowText::Attributes), "HSA");
    EXPECT_EQ(list.Row(0).Text(RowText::Size), "0");
}

TEST(FileListTest, SamePathTwiceGivesTwoRows) {
    TempDir dir;
    const std::string file = dir.Write("a.txt", "abc");
    TFileList list;
    list.AddFileRow(file);
    list.AddFileRow(file);
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.Row(0).caption, list.Row(1).caption);
    EXPECT_EQ(list.Row(0).texts, list.Row(1).texts);
    EXPECT_EQ(list.ObjectCountText(), "2 object(s)");
}

TEST(FileListTest, EveryChangeNotifies) {
    TempDir dir;
    TFileList list;
    std::vector<std::string> counts;
    list.onChange = [&] { counts.push_back(list.ObjectCountText()); };
    list.AddFileRow(dir.Write("a.txt"));
    list.SetChecked(0, true);
    list.SetSelected(0, true);
    list.SetText(0, RowText::Size, "9");
    list.Clear();
    EXPECT_EQ(counts, (std::vector<std::string>{"1 object(s)", "1 object(s)", "1 object(s)",
                                                "1 object(s)", "0 object(s)"}));
}

TEST(FileListTest, NonUtf8NameSurvivesTheRoundTrip) {
    TempDir dir;
    const std::string name = "M\xfcller \xff.txt";  // Latin-1 bytes
    const std::string file = dir.Write(name, "abc");
    TFileList list;
    ASSERT_TRUE(list.AddFileRow(file));
    EXPECT_EQ(list.Row(0).caption, name);
    EXPECT_EQ(engine::RowPath(list, 0), file);
    EXPECT_TRUE(engine::IsProcessableFile(engine::RowPath(list, 0)));
}

}  // namespace
}  // namespace filelist
