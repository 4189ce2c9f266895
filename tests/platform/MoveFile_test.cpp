#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "TestMount.h"
#include "platform/FileSystem.h"
#include "platform/linux/NtfsUpcase.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using testsupport::ProcessResult;
using testsupport::ReadFile;
using testsupport::TempDir;

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// The rules every file system must keep; run on the local one and on a FUSE mount.
void CheckRenameRules(const std::string& dir) {
    const std::string a = dir + "/a.txt";
    const std::string b = dir + "/b.txt";
    { std::ofstream(a) << "first"; }
    { std::ofstream(b) << "second"; }

    const MoveOutcome renamed = MoveFile(a, dir + "/c.txt");
    EXPECT_EQ(renamed.result, MoveResult::Moved);
    EXPECT_FALSE(Exists(a));
    EXPECT_EQ(ReadFile(dir + "/c.txt"), "first");

    // The target exists: nothing is replaced, both contents survive.
    EXPECT_EQ(MoveFile(dir + "/c.txt", b).result, MoveResult::TargetExists);
    EXPECT_EQ(ReadFile(dir + "/c.txt"), "first");
    EXPECT_EQ(ReadFile(b), "second");

    const MoveOutcome missing = MoveFile(dir + "/nothing", dir + "/d.txt");
    EXPECT_EQ(missing.result, MoveResult::Failed);
    EXPECT_EQ(missing.reason, "No such file or directory");

    // Renaming a file to its own name succeeds and changes nothing.
    EXPECT_EQ(MoveFile(b, b).result, MoveResult::Moved);
    EXPECT_EQ(ReadFile(b), "second");
}

TEST(MoveFileTest, NeverReplacesOnTheLocalFileSystem) {
    TempDir dir;
    CheckRenameRules(dir.Path());
}

TEST(MoveFileTest, CaseChangeOnCaseSensitiveSystemKeepsOtherSpelling) {
    TempDir dir;
    dir.Write("notes.txt", "lower");
    dir.Write("notes.TXT", "upper");
    EXPECT_EQ(MoveFile(dir / "notes.txt", dir / "notes.TXT").result, MoveResult::TargetExists);
    EXPECT_EQ(ReadFile(dir / "notes.txt"), "lower");
    EXPECT_EQ(ReadFile(dir / "notes.TXT"), "upper");
}

// The row's folder was swapped for a link to another folder holding a file of the same name:
// that file keeps its name.
TEST(MoveFileTest, AFolderSwappedForALinkIsNotRenamedIn) {
    TempDir dir;
    mkdir((dir / "row").c_str(), 0755);
    mkdir((dir / "elsewhere").c_str(), 0755);
    dir.Write("elsewhere/a.txt", "outside");
    ASSERT_EQ(rename((dir / "row").c_str(), (dir / "moved").c_str()), 0);
    ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (dir / "row").c_str()), 0);
    const MoveOutcome outcome = MoveFile(dir / "row/a.txt", dir / "row/A.TXT");
    EXPECT_EQ(outcome.result, MoveResult::Failed);
    EXPECT_EQ(outcome.reason, "a folder on its path was replaced by a symbolic link");
    EXPECT_EQ(ReadFile(dir / "elsewhere/a.txt"), "outside");
}

TEST(MoveFileTest, HardLinkUnderTheTargetNameIsNotReplaced) {
    TempDir dir;
    dir.Write("a.txt", "same inode");
    ASSERT_EQ(link((dir / "a.txt").c_str(), (dir / "A.txt").c_str()), 0);
    EXPECT_EQ(MoveFile(dir / "a.txt", dir / "A.txt").result, MoveResult::TargetExists);
    EXPECT_TRUE(Exists(dir / "a.txt"));
    EXPECT_TRUE(Exists(dir / "A.txt"));
}

// An NTFS image through ntfs-3g: FUSE refuses RENAME_NOREPLACE. With lowntfs-3g's ignore_case
// the names compare without regard to case (it stores them in lower case).
TEST(MoveFileNtfsTest, NeverReplacesWhereTheFileSystemRefusesNoReplace) {
    TempDir dir;
    NtfsMount ntfs(dir, {"ntfs-3g"});
    if (!ntfs.Mounted())
        GTEST_SKIP() << kNoNtfs;
    CheckRenameRules(ntfs.Path());
}

TEST(MoveFileNtfsTest, CaseChangeOnCaseInsensitiveFileSystem) {
    TempDir dir;
    NtfsMount ntfs(dir, {"lowntfs-3g", "-o", "ignore_case"});
    if (!ntfs.Mounted())
        GTEST_SKIP() << kNoNtfs;
    const std::string song = ntfs.Path() + "/song.mp3";
    const std::string other = ntfs.Path() + "/other.mp3";
    { std::ofstream(song) << "music"; }
    { std::ofstream(other) << "other"; }

    // The new spelling names the same file: it is renamed, not refused, and nothing is lost.
    EXPECT_EQ(MoveFile(song, ntfs.Path() + "/SONG.MP3").result, MoveResult::Moved);
    EXPECT_EQ(ReadFile(ntfs.Path() + "/Song.mp3"), "music");
    // Another file under a differently spelt name is still a taken name.
    EXPECT_EQ(MoveFile(other, ntfs.Path() + "/SONG.mp3").result, MoveResult::TargetExists);
    EXPECT_EQ(ReadFile(other), "other");
    EXPECT_EQ(ReadFile(song), "music");
    const ProcessResult listing = testsupport::RunProcess("ls", {"-a", ntfs.Path()}, "/");
    EXPECT_EQ(listing.out.find(".kelvane"), std::string::npos) << listing.out;
}

// Mounted case-sensitive, NTFS takes names that differ in case only, but Windows could then
// reach only one of the two files.
TEST(MoveFileNtfsTest, RefusesANameWindowsCannotTellApart) {
    TempDir dir;
    NtfsMount ntfs(dir, {"ntfs-3g"});
    if (!ntfs.Mounted())
        GTEST_SKIP() << kNoNtfs;
    { std::ofstream(ntfs / "Song.mp3") << "music"; }
    { std::ofstream(ntfs / "other.mp3") << "other"; }
    EXPECT_EQ(MoveFile(ntfs / "other.mp3", ntfs / "song.MP3").result, MoveResult::TargetExists);
    EXPECT_EQ(ReadFile(ntfs / "other.mp3"), "other");
    EXPECT_FALSE(Exists(ntfs / "song.MP3"));
    // A file may still change the case of its own name.
    EXPECT_EQ(MoveFile(ntfs / "Song.mp3", ntfs / "SONG.MP3").result, MoveResult::Moved);
    EXPECT_EQ(ReadFile(ntfs / "SONG.MP3"), "music");
}

// NTFS tells letter cases apart by its own table, not by the C library's: dotless i, long s and
// the title-case digraphs are letters of their own there.
TEST(MoveFileNtfsTest, TheVolumesCaseTableDecidesWhatIsTaken) {
    TempDir dir;
    NtfsMount ntfs(dir, {"ntfs-3g"});
    if (!ntfs.Mounted())
        GTEST_SKIP() << kNoNtfs;
    const struct {
        const char* there;
        const char* wanted;
        MoveResult result;
    } cases[] = {
        {"I - x.mp3", "\u0131 - x.mp3", MoveResult::Moved},                    // ı
        {"S.txt", "\u017F.txt", MoveResult::Moved},                            // ſ
        {"\u01C4.txt", "\u01C5.txt", MoveResult::Moved},                       // Ǆ, ǅ
        {"\u00C9t\u00E9.txt", "\u00E9T\u00C9.txt", MoveResult::TargetExists},  // Été, éTÉ
        {"\u0414.txt", "\u0434.txt", MoveResult::TargetExists},                // Д, д
        {"\U0001D400.txt", "\U0001D41A.txt", MoveResult::Moved},  // beyond the BMP: as it is
    };
    for (const auto& c : cases) {
        { std::ofstream(ntfs / c.there) << "there"; }
        { std::ofstream(ntfs / "other") << "other"; }
        EXPECT_EQ(MoveFile(ntfs / "other", ntfs / c.wanted).result, c.result) << c.wanted;
        EXPECT_EQ(ReadFile(ntfs / c.there), "there") << c.there;
        std::remove((ntfs / c.wanted).c_str());
        std::remove((ntfs / c.there).c_str());
    }
}

// A volume that shows its own table is compared by that table: here one in which "ı" is the
// small letter of "I".
TEST(MoveFileNtfsTest, AVolumeShowingItsOwnTableIsComparedByIt) {
    TempDir dir;
    const auto run = [&](const std::string& command) {
        return testsupport::RunProcess("sh", {"-c", command}, dir.Path()).exitCode == 0;
    };
    if (access("/dev/fuse", R_OK | W_OK) != 0 ||
        !run("truncate -s 8M ntfs.img && /usr/sbin/mkntfs -F -Q -q ntfs.img 2>/dev/null") ||
        !run("ntfscat -i 10 ntfs.img > upcase"))
        GTEST_SKIP() << kNoNtfs;
    std::string image = ReadFile(dir / "ntfs.img");
    const std::size_t table = image.find(ReadFile(dir / "upcase"));
    ASSERT_NE(table, std::string::npos);
    image.replace(table + 2 * 0x131, 2, std::string("I\0", 2));  // little-endian U+0049
    { std::ofstream(dir / "ntfs.img", std::ios::binary) << image; }
    TestMount ntfs(dir / "mnt", {"ntfs-3g", "-o", "show_sys_files", dir / "ntfs.img"});
    if (!ntfs.Mounted())
        GTEST_SKIP() << kNoNtfs;
    { std::ofstream(ntfs / "I - x.mp3") << "there"; }
    { std::ofstream(ntfs / "other") << "other"; }
    EXPECT_EQ(MoveFile(ntfs / "other", ntfs / "\u0131 - x.mp3").result, MoveResult::TargetExists);
    EXPECT_EQ(ReadFile(ntfs / "other"), "other");
}

// The table shipped is the one mkntfs writes into every new volume.
TEST(NtfsUpcaseTest, EqualsTheTableOfAFreshVolume) {
    TempDir dir;
    const std::string image = dir / "ntfs.img";
    const std::string table = dir / "upcase";
    const auto run = [&](const std::string& command) {
        return testsupport::RunProcess("sh", {"-c", command}, dir.Path()).exitCode == 0;
    };
    if (!run("truncate -s 8M ntfs.img && /usr/sbin/mkntfs -F -Q -q ntfs.img 2>/dev/null") ||
        !run("ntfscat -i 10 ntfs.img > upcase"))
        GTEST_SKIP() << "needs mkntfs and ntfscat (ntfs-3g)";
    const std::string bytes = ReadFile(table);
    ASSERT_EQ(bytes.size(), 131072u);
    int differences = 0;
    for (std::size_t unit = 0; unit < 65536; ++unit) {
        const auto upper =
            static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * unit]) |
                                  static_cast<unsigned char>(bytes[2 * unit + 1]) << 8);
        differences += upper != unit;
        ASSERT_EQ(linux_fs::TNtfsCaseTable::Default().Upper(static_cast<char16_t>(unit)), upper)
            << std::hex << unit;
    }
    EXPECT_GT(differences, 900);
}

}  // namespace
}  // namespace platform
