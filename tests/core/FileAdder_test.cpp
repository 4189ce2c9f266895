#include "core/FileAdder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "find/FindEventLoop.h"
#include "platform/Volume.h"
#include "support/TempDir.h"

namespace core {
namespace {

using testsupport::TempDir;

// A tree: a.txt, sub/b.txt, sub/deeper/c.txt, .hidden/d.txt
class FileAdderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("a.txt", "a");
        mkdir((dir / "sub").c_str(), 0755);
        mkdir((dir / "sub/deeper").c_str(), 0755);
        mkdir((dir / ".hidden").c_str(), 0755);
        dir.Write("sub/b.txt", "b");
        dir.Write("sub/deeper/c.txt", "c");
        dir.Write(".hidden/d.txt", "d");
    }

    // Searches the tree with one mode and waits for the completion.
    std::vector<std::string> Search(AddFolderMode mode) {
        adder.AddFolder(mode, dir.Path());
        EXPECT_TRUE(busy);
        loop.RunUntil([this] { return !busy; });
        return Names();
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const filelist::FileRow& row : list.Rows()) {
            names.push_back(row.Text(filelist::ListColumn::Folder).substr(dir.Path().size()) + "/" +
                            row.caption);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
    filelist::TFileList list;
    vexfind::TFindEventLoop loop;
    bool busy = false;
    TFileAdder adder{list, loop, [this](bool value) { busy = value; }};
};

TEST_F(FileAdderTest, FilesOnlySearchAddsFilesAtEveryDepth) {
    EXPECT_EQ(Search(AddFolderMode::FilesOnly),
              (std::vector<std::string>{"/a.txt", "/sub/b.txt", "/sub/deeper/c.txt"}));
    EXPECT_EQ(adder.Mode(), AddFolderMode::FilesOnly);
}

TEST_F(FileAdderTest, FoldersOnlySearchAddsFolders) {
    // The hidden folder is reported, so it becomes a row, but it is not entered.
    EXPECT_EQ(Search(AddFolderMode::FoldersOnly),
              (std::vector<std::string>{"/.hidden", "/sub", "/sub/deeper"}));
}

TEST_F(FileAdderTest, FilesAndFoldersSearchAddsBoth) {
    EXPECT_EQ(Search(AddFolderMode::FilesAndFolders),
              (std::vector<std::string>{"/.hidden", "/a.txt", "/sub", "/sub/b.txt", "/sub/deeper",
                                        "/sub/deeper/c.txt"}));
}

TEST_F(FileAdderTest, ModeStaysForLaterAdditions) {
    Search(AddFolderMode::FoldersOnly);
    const int rows = list.RowCount();
    // After a folders-only search a file path adds nothing, a folder path one row.
    EXPECT_EQ(adder.AddPaths({dir / "a.txt", dir / "sub"}, adder.Mode()), 1);
    EXPECT_EQ(list.RowCount(), rows + 1);
}

TEST_F(FileAdderTest, AddedPathsAreNeverSearched) {
    EXPECT_EQ(adder.AddPaths({dir / "sub", dir / "a.txt", dir / "missing", dir / "a.txt"},
                             AddFolderMode::FilesOnly),
              2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"/a.txt", "/a.txt"}));
}

// Paths are looked up ahead in batches: across several of them the rows keep the paths' order
// and each refusal names its own path.
TEST_F(FileAdderTest, ManyPathsKeepTheirOrderAndRefusalsTheirIndex) {
    std::vector<std::string> paths;
    std::vector<std::string> expected;
    std::vector<std::size_t> expectedRefused;
    for (int i = 0; i < 50; ++i) {
        const std::string name = "f" + std::to_string(i) + ".txt";
        if (i % 7 == 3) {
            paths.push_back(dir / name);  // never written
            expectedRefused.push_back(paths.size() - 1);
            continue;
        }
        paths.push_back(dir.Write(name, "x"));
        expected.push_back(name);
    }
    std::vector<std::size_t> refused;
    EXPECT_EQ(adder.AddPaths(paths, AddFolderMode::FilesOnly,
                             [&](std::size_t index, filelist::NotAdded why) {
                                 EXPECT_EQ(why, filelist::NotAdded::Missing);
                                 refused.push_back(index);
                             }),
              static_cast<int>(expected.size()));
    std::vector<std::string> captions;
    for (const filelist::FileRow& row : list.Rows())
        captions.push_back(row.caption);
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(refused, expectedRefused);
}

// A find carries the walk's look-up into its row; that row must be the one the same path
// gives when it is added by itself, whatever the entry is.
TEST_F(FileAdderTest, ARowFromAFindEqualsTheRowOfItsPath) {
    dir.Write("sub/.dot", "x");
    chmod((dir / "sub/b.txt").c_str(), 0444);
    symlink((dir / "a.txt").c_str(), (dir / "sub/link").c_str());
    Search(AddFolderMode::FilesAndFolders);
    ASSERT_GE(list.RowCount(), 8);
    for (int i = 0; i < list.RowCount(); ++i) {
        const filelist::FileRow& found = list.Row(i);
        const std::string path = found.Folder() + "/" + found.caption;
        const std::optional<filelist::FileRow> alone = filelist::MakeFileRow(
            path, AddFolderMode::FilesAndFolders, platform::LinkRule::NoFollow);
        ASSERT_TRUE(alone) << path;
        EXPECT_EQ(found.caption, alone->caption);
        EXPECT_EQ(found.ImageIndex(), alone->ImageIndex()) << path;
        for (int column = 0; column < filelist::kListColumnCount; ++column) {
            const auto text = static_cast<filelist::ListColumn>(column);
            EXPECT_EQ(found.Text(text), alone->Text(text)) << path << " column " << column;
        }
    }
}

TEST(DriveTypeTest, LocalFoldersAreAcceptedAndMissingOnesAreNot) {
    TempDir dir;
    EXPECT_EQ(platform::GetDriveType(dir.Path()), platform::DriveType::Fixed);
    EXPECT_EQ(platform::GetDriveType(dir / "missing"), platform::DriveType::NoRootDir);
    EXPECT_TRUE(IsAcceptedDrive(dir.Path()));
    EXPECT_FALSE(IsAcceptedDrive(dir / "missing"));
}

}  // namespace
}  // namespace core
