#include "platform/Trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <regex>

#include "TestMount.h"
#include "support/Done.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using testsupport::Done;

using testsupport::ReadFile;
using testsupport::ScopedEnv;
using testsupport::TempDir;

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// The entry as a file manager reads it back; the date is the local time of the deletion.
void ExpectEntry(const std::string& infoFile, const std::string& encodedPath) {
    const std::string text = ReadFile(infoFile);
    const std::string head = "[Trash Info]\nPath=" + encodedPath + "\nDeletionDate=";
    ASSERT_EQ(text.substr(0, head.size()), head);
    const std::regex date("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\n");
    EXPECT_TRUE(std::regex_match(text.substr(head.size()), date)) << text;
}

TEST(TrashTest, TheEntryRestoresTheVeryName) {
    TempDir dir;
    const ScopedEnv data("XDG_DATA_HOME", (dir / "data").c_str());
    const std::string trash = dir / "data/Trash";
    const struct {
        std::string name;
        std::string encoded;  // the name as Path= ends
        std::string trashed;  // the name in files/
    } cases[] = {
        {"plain.txt", "plain.txt", "plain.txt"},
        {"new\nline", "new%0Aline", "new\nline"},
        {"100%41 a+b", "100%2541%20a%2Bb", "100%41 a+b"},
        {"\xc3\xa9t\xc3\xa9 \xff.mp3", "%C3%A9t%C3%A9%20%FF.mp3", "\xc3\xa9t\xc3\xa9 \xff.mp3"},
        // A second file of the same name takes another name in the trash.
        {"plain.txt", "plain.txt", "plain.2.txt"},
        // A name too long to take ".trashinfo" after it is shortened in the trash.
        {std::string(246, 'x') + ".txt", std::string(246, 'x') + ".txt",
         std::string(180, 'x') + ".1.txt"},
    };
    for (const auto& c : cases) {
        const std::string file = dir.Write(c.name, "content of " + c.trashed);
        ASSERT_TRUE(Done(MoveToTrash(file)));
        EXPECT_FALSE(Exists(file)) << c.name;
        EXPECT_EQ(ReadFile(trash + "/files/" + c.trashed), "content of " + c.trashed);
        ExpectEntry(trash + "/info/" + c.trashed + ".trashinfo", dir.Path() + "/" + c.encoded);
    }
}

// A file is never in the trash without its entry: where the entry cannot be written, the file
// stays where it was and no half entry is left.
TEST(TrashTest, NoEntryNoMove) {
    TempDir dir;
    const ScopedEnv data("XDG_DATA_HOME", (dir / "data").c_str());
    ASSERT_EQ(mkdir((dir / "data").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir / "data/Trash").c_str(), 0700), 0);
    dir.Write("data/Trash/info", "a file where the folder should be");
    const std::string file = dir.Write("kept.txt", "kept");
    const platform::Result trashed = MoveToTrash(file);
    EXPECT_FALSE(trashed);
    EXPECT_FALSE(trashed.Reason().empty());
    EXPECT_EQ(ReadFile(file), "kept");
    EXPECT_FALSE(Exists(dir / "data/Trash/files/kept.txt"));
}

TEST(TrashTest, AHomeTrashTheUserLinkedElsewhereIsUsed) {
    TempDir dir;
    const ScopedEnv data("XDG_DATA_HOME", (dir / "data").c_str());
    ASSERT_EQ(mkdir((dir / "data").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir / "elsewhere").c_str(), 0700), 0);
    ASSERT_EQ(symlink("../elsewhere", (dir / "data/Trash").c_str()), 0);
    ASSERT_TRUE(Done(MoveToTrash(dir.Write("f.txt", "f"))));
    EXPECT_EQ(ReadFile(dir / "elsewhere/files/f.txt"), "f");
}

// Another volume has a trash of its own at its top folder, with paths relative to it. On a full
// volume the entry cannot be written, and the file stays.
TEST(TrashTest, AnotherVolumeAndAFullOne) {
    TempDir dir;
    const ScopedEnv data("XDG_DATA_HOME", (dir / "data").c_str());
    TestMount volume(dir / "mnt", {"mount", "-t", "tmpfs", "-o", "size=64k,mode=0755", "tmpfs"});
    if (!volume.Mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    const std::string own = volume / (".Trash-" + std::to_string(geteuid()));
    ASSERT_EQ(mkdir((volume / "sub").c_str(), 0755), 0);
    const std::string file = volume / "sub/a b.txt";
    std::ofstream(file) << "on the volume";
    ASSERT_TRUE(Done(MoveToTrash(file)));
    EXPECT_EQ(ReadFile(own + "/files/a b.txt"), "on the volume");
    ExpectEntry(own + "/info/a b.txt.trashinfo", "sub/a%20b.txt");

    // A shared .Trash with the sticky bit takes a folder per user.
    ASSERT_EQ(mkdir((volume / ".Trash").c_str(), 0777), 0);
    ASSERT_EQ(chmod((volume / ".Trash").c_str(), 01777), 0);
    const std::string second = volume / "second.txt";
    std::ofstream(second) << "shared";
    ASSERT_TRUE(Done(MoveToTrash(second)));
    const std::string shared = volume / (".Trash/" + std::to_string(geteuid()));
    EXPECT_EQ(ReadFile(shared + "/files/second.txt"), "shared");

    const std::string last = volume / "last.txt";
    std::ofstream(last) << "last";
    {
        std::ofstream filler(volume / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler << block && filler.flush()) {
        }
    }
    EXPECT_FALSE(MoveToTrash(last));
    EXPECT_EQ(ReadFile(last), "last");
    EXPECT_FALSE(Exists(shared + "/info/last.txt.trashinfo"));
    EXPECT_FALSE(Exists(shared + "/files/last.txt"));
}

}  // namespace
}  // namespace platform
