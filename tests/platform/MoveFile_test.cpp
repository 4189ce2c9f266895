#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "TestMount.h"
#include "platform/FileSystem.h"
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
    EXPECT_EQ(missing.error, ENOENT);

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

}  // namespace
}  // namespace platform
