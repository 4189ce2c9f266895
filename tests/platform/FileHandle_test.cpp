#include "platform/FileHandle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "ChildProcess.h"
#include "platform/linux/DosAttrib.h"
#include "support/Done.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using testsupport::Done;
using testsupport::ReadFile;
using testsupport::TempDir;

constexpr FileTime kSomeTime = 127'000'000'000'000'000ull;  // in 2003

std::string DosAttribOf(const std::string& path) {
    char buffer[256];
    const ssize_t n = getxattr(path.c_str(), "user.DOSATTRIB", buffer, sizeof buffer);
    return std::string(buffer, n < 0 ? 0 : static_cast<std::size_t>(n));
}

// Everything a change could alter about a file, as one text to compare before and after.
std::string StateOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return std::to_string(st.st_mode) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec) + " " + DosAttribOf(path) + " " +
           (S_ISREG(st.st_mode) ? ReadFile(path) : "");
}

bool MakeSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return bound;
}

// One entry of every kind: "target.txt", "folder", links to both, a FIFO, a socket and, where
// the test may make one, a device. False when there is no device.
bool MakeEntriesOfEveryKind(const TempDir& dir) {
    const std::string target = dir.Write("target.txt", "kept");
    mkdir((dir / "folder").c_str(), 0755);
    symlink(target.c_str(), (dir / "file-link").c_str());
    symlink((dir / "folder").c_str(), (dir / "folder-link").c_str());
    mkfifo((dir / "fifo").c_str(), 0644);
    EXPECT_TRUE(MakeSocket(dir / "socket"));
    return mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

TEST(FileHandleTest, OnlyRegularFilesAreOpened) {
    TempDir dir;
    const bool haveDevice = MakeEntriesOfEveryKind(dir);
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"file-link", "a symbolic link is not followed"},
        {"folder-link", "a symbolic link is not followed"},
        {"folder", "a folder is not processed"},
        {"fifo", "a device, FIFO or socket is not changed"},
        {"socket", "a device, FIFO or socket is not changed"},
        {"null", "a device, FIFO or socket is not changed"},
        {"missing", "no such file"},
    };
    for (const Case& c : cases) {
        if (std::string(c.name) == "null" && !haveDevice)
            continue;
        // Also where a look-up of a moment ago found a regular file, since replaced, and from
        // the folder held open.
        TOpenFolders folders;
        for (const OpenCheck check : {OpenCheck::LookUpFirst, OpenCheck::FoundAsFile}) {
            std::string reason;
            EXPECT_FALSE(TFileHandle::Open(dir / c.name, reason, OpenKind::File, check,
                                           check == OpenCheck::FoundAsFile ? &folders : nullptr))
                << c.name;
            EXPECT_EQ(reason, c.reason) << c.name;
        }
        // Folders are changed by the path setters, as the program always did.
        if (std::string(c.name) == "folder")
            continue;
        // Nor do the path setters change any of them, or what a link leads to.
        const std::string before = StateOf(dir / c.name);
        EXPECT_FALSE(SetFileAttributes(dir / c.name, kAttrReadOnly)) << c.name;
        EXPECT_FALSE(SetFileTimes(dir / c.name, {std::nullopt, kSomeTime, kSomeTime})) << c.name;
        EXPECT_EQ(StateOf(dir / c.name), before) << c.name;
    }
    std::string reason;
    EXPECT_TRUE(TFileHandle::Open(dir / "target.txt", reason));
    EXPECT_TRUE(TFileHandle::Open(dir / "folder", reason, OpenKind::FileOrFolder));
}

TEST(FileHandleTest, ReadsThroughTheDescriptor) {
    TempDir dir;
    std::string content(300, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i);
    const std::string file = dir.Write("data.bin", content);
    std::string reason;
    const std::optional<TFileHandle> handle = TFileHandle::Open(file, reason);
    ASSERT_TRUE(handle);
    const auto asText = [](const std::vector<std::uint8_t>& b) {
        return std::string(b.begin(), b.end());
    };
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(Done(handle->ReadPrefix(10, bytes)));
    EXPECT_EQ(asText(bytes), content.substr(0, 10));
    ASSERT_TRUE(Done(handle->ReadPrefix(1000, bytes)));
    EXPECT_EQ(asText(bytes), content);
    ASSERT_TRUE(Done(handle->ReadTail(128, bytes)));
    EXPECT_EQ(asText(bytes), content.substr(300 - 128));
    EXPECT_FALSE(handle->ReadTail(301, bytes));
    // The name no longer matters once the file is open.
    ASSERT_EQ(rename(file.c_str(), (dir / "moved.bin").c_str()), 0);
    ASSERT_TRUE(Done(handle->ReadAll(bytes)));
    EXPECT_EQ(asText(bytes), content);
}

TEST(FileHandleTest, LookUpOfAFoundLinkReportsTheLinkItself) {
    TempDir dir;
    MakeEntriesOfEveryKind(dir);
    struct Case {
        const char* name;
        LinkRule rule;
        EntryKind kind;
        bool folder;
    };
    const Case cases[] = {
        {"file-link", LinkRule::Follow, EntryKind::File, false},
        {"file-link", LinkRule::NoFollow, EntryKind::SymbolicLink, false},
        {"folder-link", LinkRule::Follow, EntryKind::Folder, true},
        {"folder-link", LinkRule::NoFollow, EntryKind::SymbolicLink, false},
        {"target.txt", LinkRule::NoFollow, EntryKind::File, false},
        {"fifo", LinkRule::NoFollow, EntryKind::Special, false},
    };
    for (const Case& c : cases) {
        const std::optional<FindData> found = FindPath(dir / c.name, c.rule);
        ASSERT_TRUE(found) << c.name;
        EXPECT_EQ(found->name, c.name);
        EXPECT_EQ(found->kind, c.kind) << c.name;
        EXPECT_EQ((found->attributes & kAttrDirectory) != 0, c.folder) << c.name;
    }
    EXPECT_EQ(PassedOverReason(EntryKind::SymbolicLink), "a symbolic link is not followed");
    EXPECT_EQ(PassedOverReason(EntryKind::File), "");
}

// A name beginning with "." is hidden by itself: asking for the file without H sets the
// other bits and says why H stayed.
TEST(FileHandleTest, DotNameStaysHidden) {
    TempDir dir;
    const std::string file = dir.Write(".profile");
    std::string reason;
    std::optional<TFileHandle> handle = TFileHandle::Open(file, reason);
    ASSERT_TRUE(handle);
    EXPECT_EQ(handle->GetAttributes(), kAttrHidden);
    struct Case {
        std::uint32_t asked;
        bool ok;
        std::uint32_t shown;
    };
    const Case cases[] = {
        {kAttrArchive, false, kAttrHidden | kAttrArchive},
        {0, false, kAttrHidden},
        {kAttrHidden | kAttrSystem, true, kAttrHidden | kAttrSystem},
        {kAttrReadOnly, false, kAttrHidden | kAttrReadOnly},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(handle->SetAttributes(c.asked).Reason(),
                  c.ok ? "" : "a name beginning with \".\" is always hidden")
            << c.asked;
        EXPECT_EQ(handle->GetAttributes(), c.shown) << c.asked;
    }
    // The bit that comes from the name is not copied into the attribute.
    const std::optional<linux_fs::DosAttrib> stored = linux_fs::ParseDosAttrib(DosAttribOf(file));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->attributes, kAttrReadOnly);
}

// A stored value we cannot read may hold a creation time or bits of another program: it is
// never overwritten, and the file still shows the bits its text tells.
TEST(FileHandleTest, UnreadableStoredAttributesAreNeverOverwritten) {
    TempDir dir;
    const std::string readable = linux_fs::EncodeDosAttrib({kAttrSystem, kSomeTime});
    std::string versionsDisagree = readable;
    versionsDisagree[6] = 5;  // the version, where the level still says 3
    const std::string values[] = {versionsDisagree, readable.substr(0, readable.size() - 3),
                                  std::string("\x93\x11\0\xfe random", 11)};
    for (const std::string& value : values) {
        const std::string file = dir.Write("f.txt", "x");
        ASSERT_EQ(setxattr(file.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0);
        std::string reason;
        std::optional<TFileHandle> handle = TFileHandle::Open(file, reason);
        ASSERT_TRUE(handle);
        const std::uint32_t shown = handle->GetAttributes();
        EXPECT_EQ(shown, value == values[2] ? 0u : kAttrSystem);
        EXPECT_EQ(handle->SetAttributes(shown ^ kAttrHidden).Reason(),
                  "the stored DOS attributes cannot be read");
        EXPECT_EQ(handle->SetTimes({kSomeTime, std::nullopt, std::nullopt}).Reason(),
                  "the stored DOS attributes cannot be read");
        // What needs no new value still changes: read-only lives in the mode, and a creation
        // time the file already shows needs no writing.
        EXPECT_TRUE(Done(handle->SetAttributes(shown | kAttrReadOnly)));
        EXPECT_EQ(handle->GetAttributes(), shown | kAttrReadOnly);
        chmod(file.c_str(), 0644);
        handle = TFileHandle::Open(file, reason);  // a handle knows only its own changes
        const FileTime created = *handle->Find()->creationTime;
        const FileTime asWritten = created - created % (2 * kTicksPerSecond);  // the DOS form
        EXPECT_TRUE(Done(handle->SetTimes({asWritten, std::nullopt, kSomeTime})));
        EXPECT_EQ(DosAttribOf(file), value);
        unlink(file.c_str());
    }
}

// A row's folders were resolved when it was made: a folder on its path replaced since, by a
// link (wherever it leads) or by anything but a folder, is not gone through.
TEST(FileHandleTest, ARowsFolderIsOpenedWithoutFollowingALink) {
    constexpr const char* kLink = "a folder on its path was replaced by a symbolic link";
    struct Case {
        const char* name;
        const char* swapped;  // the folder replaced, below the test's folder
        const char* by;       // what replaces it: a link to this, or a file when empty
        const char* reason;   // empty: opened
    };
    const Case cases[] = {
        {"unchanged", nullptr, nullptr, ""},
        {"its folder is a link now", "tree/sub", "OUTSIDE", kLink},
        {"a folder above is a link to itself now", "tree", "tree.old", kLink},
        {"its folder is a file now", "tree/sub", "", "a folder on its path is no longer a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        TempDir outside;
        mkdir((dir / "tree").c_str(), 0755);
        mkdir((dir / "tree/sub").c_str(), 0755);
        dir.Write("tree/sub/f.txt", "inside");
        const std::string target = outside.Write("f.txt", "outside");
        const std::string before = StateOf(target);
        if (c.swapped) {
            const std::string swapped = dir / c.swapped;
            rename(swapped.c_str(), (swapped + ".old").c_str());
            const std::string to = std::string(c.by) == "OUTSIDE" ? outside.Path() : dir / c.by;
            if (*c.by)
                symlink(to.c_str(), swapped.c_str());
            else
                dir.Write(c.swapped);
        }
        TOpenFolders folders;
        std::string reason;
        std::optional<TFileHandle> file = TFileHandle::Open(
            dir / "tree/sub/f.txt", reason, OpenKind::File, OpenCheck::FoundAsFile, &folders);
        EXPECT_EQ(file.has_value(), *c.reason == '\0');
        EXPECT_EQ(reason, c.reason);
        if (file) {
            EXPECT_TRUE(Done(file->SetAttributes(kAttrHidden)));
        }
        EXPECT_EQ(StateOf(target), before);
    }
}

// Someone who may write the folder swaps the file for a link to a file outside, over and over,
// while it is opened and changed: the file outside must never change.
TEST(FileHandleTest, LinkSwappedInNeverRedirectsAChange) {
    TempDir dir;
    TempDir outside;
    const std::string target = outside.Write("secret.txt", "secret");
    const std::string before = StateOf(target);
    const std::string path = dir / "f.gif";
    std::atomic<bool> stop{false};
    // Each state lasts while the other is being prepared.
    std::thread swapper([&] {
        while (!stop) {
            { std::ofstream(dir / "file.tmp") << "plain"; }
            rename((dir / "file.tmp").c_str(), path.c_str());
            symlink(target.c_str(), (dir / "link.tmp").c_str());
            rename((dir / "link.tmp").c_str(), path.c_str());
        }
    });
    int opened = 0;
    int refused = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((opened < 200 || refused < 200) && std::chrono::steady_clock::now() < end) {
        std::string reason;
        std::optional<TFileHandle> handle = TFileHandle::Open(path, reason);
        handle ? ++opened : ++refused;
        if (handle) {
            // Whether each change succeeds does not matter here, only where it lands.
            static_cast<void>(handle->SetAttributes(kAttrHidden | kAttrSystem));
            static_cast<void>(handle->SetTimes({kSomeTime, kSomeTime, kSomeTime}));
            static_cast<void>(handle->ReplaceContent(std::vector<std::uint8_t>(100, 'n')));
            static_cast<void>(handle->SetAttributes(kAttrReadOnly));
        }
        SetFileAttributes(path, kAttrHidden);
        SetFileTimes(path, {kSomeTime, kSomeTime, kSomeTime});
    }
    stop = true;
    swapper.join();
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
    EXPECT_EQ(StateOf(target), before);
}

// A file its owner may not read is still theirs to change (mode, times, attributes), through
// a descriptor that pins it.
TEST(FileHandlePermissionTest, OwnerChangesAFileTheyCannotRead) {
    TempDir dir;
    chmod(dir.Path().c_str(), 0755);
    const std::string file = dir.Write("write-only.txt", "data");
    chmod(file.c_str(), 0200);
    EXPECT_TRUE(AsOrdinaryUser({file}, [&] {
        std::string reason;
        std::optional<TFileHandle> handle = TFileHandle::Open(file, reason);
        std::vector<std::uint8_t> bytes;
        // Its stored attributes cannot be read either, so they are not overwritten.
        return handle && handle->ReadAll(bytes).Reason() == "Permission denied" &&
               handle->SetTimes({std::nullopt, kSomeTime, kSomeTime}) &&
               handle->SetAttributes(kAttrReadOnly) &&
               handle->SetAttributes(kAttrReadOnly | kAttrSystem).Reason() ==
                   "the stored DOS attributes cannot be read" &&
               handle->GetAttributes() == kAttrReadOnly &&
               handle->Find()->lastWriteTime == kSomeTime;
    }));
    struct stat st {};
    stat(file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0000u);
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

std::string Describe(const std::optional<FindData>& found) {
    if (!found)
        return "not found";
    return found->name + " attributes " + std::to_string(found->attributes) + " size " +
           std::to_string(found->size) + " created " +
           (found->creationTime ? std::to_string(*found->creationTime) : "-") + " written " +
           std::to_string(found->lastWriteTime) + " opened " +
           std::to_string(found->lastAccessTime);
}

// A handle reports what it wrote without looking again; that must be what a fresh look-up of
// the file then finds, for every change a run makes.
TEST(FileHandleTest, WhatAChangeReportsIsWhatTheFileShowsAfterwards) {
    constexpr std::uint32_t R = kAttrReadOnly, H = kAttrHidden, S = kAttrSystem, A = kAttrArchive;
    const struct {
        const char* name;
        mode_t mode;
        std::uint32_t attributes;  // set first, then the times
        std::optional<FileTimesToSet> times;
    } cases[] = {
        {"plain.txt", 0644, R | A, std::nullopt},
        {"plain.txt", 0444, A, std::nullopt},
        {"plain.txt", 0400, H | S, FileTimesToSet{kSomeTime, kSomeTime + 7, kSomeTime + 13}},
        {".dot", 0644, H, FileTimesToSet{std::nullopt, std::nullopt, kSomeTime}},
        {".dot", 0644, S, std::nullopt},  // fails: a dot name stays hidden
        {"plain.txt", 0644, 0, FileTimesToSet{kSomeTime, std::nullopt, std::nullopt}},
        {"plain.txt", 0644, R, FileTimesToSet{kSomeTime, kSomeTime, kSomeTime}},  // refused
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string file = dir.Write(c.name, "abc");
        chmod(file.c_str(), c.mode);
        std::string reason;
        std::optional<TFileHandle> handle = TFileHandle::Open(file, reason);
        ASSERT_TRUE(handle) << reason;
        handle->Find();  // known before the changes, as in a run
        static_cast<void>(handle->SetAttributes(c.attributes));  // failing or not: see below
        EXPECT_EQ(Describe(handle->Find()), Describe(FindPath(file))) << c.name << " " << c.mode;
        if (c.times)
            static_cast<void>(handle->SetTimes(*c.times));
        EXPECT_EQ(Describe(handle->Find()), Describe(FindPath(file))) << c.name << " " << c.mode;
        chmod(file.c_str(), 0644);
    }
}

}  // namespace
}  // namespace platform

namespace platform {

// Two runs on one file: the second waits for the first to finish with it, and then sees what the
// first left, not what it read before (here: the first made the file read-only).
TEST(FileHandleTest, ASecondRunWaitsForTheFirstAndLooksAgain) {
    TempDir dir;
    const std::string file = dir.Write("a.txt", "x");
    const int first = open(file.c_str(), O_RDONLY);
    ASSERT_EQ(flock(first, LOCK_EX), 0);
    std::string reason;
    std::optional<TFileHandle> second = TFileHandle::Open(file, reason);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->GetAttributes() & kAttrReadOnly, 0u);
    std::thread firstRun([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        chmod(file.c_str(), 0444);
        close(first);
    });
    EXPECT_TRUE(Done(second->LockForChange()));
    firstRun.join();
    EXPECT_EQ(second->GetAttributes() & kAttrReadOnly, kAttrReadOnly);
}

}  // namespace platform
