#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "ChildProcess.h"
#include "platform/FileHandle.h"
#include "platform/InterruptedRewrites.h"
#include "platform/linux/DosAttrib.h"
#include "support/Done.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using testsupport::Done;
using testsupport::ReadFile;
using testsupport::TempDir;

enum class Links { One, Two };

std::vector<std::uint8_t> Filled(std::size_t size, char c) {
    return std::vector<std::uint8_t>(size, static_cast<std::uint8_t>(c));
}

// Makes `name` in `dir` with `content`, and a second hard link to it when asked.
std::string MakeFile(const TempDir& dir, const std::string& content, Links links) {
    const std::string file = dir.Write("image.gif", content);
    if (links == Links::Two)
        link(file.c_str(), (dir / "other-name.gif").c_str());
    return file;
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code none;  // a folder never made has no entries
    for (const auto& entry : std::filesystem::directory_iterator(folder, none))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Xattr(const std::string& path, const char* name) {
    char buffer[512];
    const ssize_t n = getxattr(path.c_str(), name, buffer, sizeof buffer);
    return n < 0 ? "(none)" : std::string(buffer, static_cast<std::size_t>(n));
}

// An access ACL in the kernel's form: owner rw, user 1000 r, group r, mask r, others none.
const std::string kSomeAcl(
    "\x02\0\0\0"
    "\x01\0\x06\0\xff\xff\xff\xff"
    "\x02\0\x04\0\xe8\x03\0\0"
    "\x04\0\x04\0\xff\xff\xff\xff"
    "\x10\0\x04\0\xff\xff\xff\xff"
    "\x20\0\0\0\xff\xff\xff\xff",
    44);

// The inode flags of a file (chattr), or -1 where the file system keeps none.
int Flags(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    int flags = -1;
    if (fd < 0 || ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0)
        flags = -1;
    close(fd);
    return flags;
}

bool SetFlags(const std::string& path, int flags) {
    const int fd = open(path.c_str(), O_RDONLY);
    const bool set = fd >= 0 && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return set;
}

// The records of interrupted rewrites go to a folder of the test's own.
class StateHome {
public:
    StateHome() { setenv("XDG_STATE_HOME", dir_.Path().c_str(), 1); }
    ~StateHome() { unsetenv("XDG_STATE_HOME"); }
    const std::string& Home() const { return dir_.Path(); }
    std::string Records() const { return dir_ / "orbel-kelvane/rewrites"; }

private:
    TempDir dir_;
};

bool Replace(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& reason) {
    std::optional<TFileHandle> handle = TFileHandle::Open(path, reason);
    if (!handle)
        return false;
    const platform::Result replaced = handle->ReplaceContent(bytes);
    reason = replaced.Reason();
    return replaced.Ok();
}

TEST(ReplaceContentTest, KeepsWhatTheUserSeesOfTheFile) {
    constexpr FileTime kStoredCreation = 130'000'000'000'000'000ull;
    for (const Links links : {Links::One, Links::Two}) {
        for (const bool storedCreation : {false, true}) {
            TempDir dir;
            const std::string file = MakeFile(dir, "old content", links);
            if (geteuid() == 0)
                chown(file.c_str(), 65534, 65534);
            chmod(file.c_str(), 0640);
            setxattr(file.c_str(), "system.posix_acl_access", kSomeAcl.data(), kSomeAcl.size(), 0);
            // Longer than a first read of a value takes.
            const std::string comment(400, 'k');
            setxattr(file.c_str(), "user.comment", comment.data(), comment.size(), 0);
            if (storedCreation) {
                const std::string value = linux_fs::EncodeDosAttrib({kAttrHidden, kStoredCreation});
                setxattr(file.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0);
            }
            // No dump, no access time (chattr +dA), where the file system keeps such flags.
            const int flags = Flags(file);
            const bool haveFlags =
                flags >= 0 && SetFlags(file, flags | FS_NODUMP_FL | FS_NOATIME_FL);
            struct stat before {};
            stat(file.c_str(), &before);
            const std::string aclBefore = Xattr(file, "system.posix_acl_access");
            const std::optional<FindData> shownBefore = FindPath(file);
            const auto entriesBefore = Entries(dir.Path());

            std::string reason;
            std::optional<TFileHandle> handle = TFileHandle::Open(file, reason);
            ASSERT_TRUE(handle);
            ASSERT_TRUE(Done(handle->ReplaceContent(Filled(5000, 'n'))));

            const std::string what = std::string(links == Links::Two ? "hard link" : "one name") +
                                     (storedCreation ? ", stored creation" : "");
            EXPECT_EQ(ReadFile(file), std::string(5000, 'n')) << what;
            struct stat after {};
            stat(file.c_str(), &after);
            EXPECT_EQ(after.st_uid, before.st_uid) << what;
            EXPECT_EQ(after.st_gid, before.st_gid) << what;
            EXPECT_EQ(after.st_mode, before.st_mode) << what;
            EXPECT_EQ(after.st_nlink, before.st_nlink) << what;
            EXPECT_EQ(Xattr(file, "system.posix_acl_access"), aclBefore) << what;
            EXPECT_EQ(Xattr(file, "user.comment"), comment) << what;
            if (haveFlags) {
                EXPECT_EQ(Flags(file) & (FS_NODUMP_FL | FS_NOATIME_FL),
                          FS_NODUMP_FL | FS_NOATIME_FL)
                    << what;
            }
            const std::optional<FindData> shownAfter = FindPath(file);
            EXPECT_EQ(shownAfter->creationTime, shownBefore->creationTime) << what;
            EXPECT_EQ(shownAfter->attributes, shownBefore->attributes) << what;
            if (links == Links::Two) {
                EXPECT_EQ(ReadFile(dir / "other-name.gif"), ReadFile(file)) << what;
            }
            EXPECT_EQ(Entries(dir.Path()), entriesBefore) << what;  // nothing left behind
            // The handle reaches the new content.
            std::vector<std::uint8_t> bytes;
            ASSERT_TRUE(Done(handle->ReadAll(bytes)));
            EXPECT_EQ(bytes, Filled(5000, 'n')) << what;
        }
    }
}

TEST(ReplaceContentTest, RefusesWhatWindowsWouldNotWrite) {
    TempDir dir;
    const std::string file = dir.Write("image.gif", "old");
    std::string reason;
    std::optional<TFileHandle> handle = TFileHandle::Open(file, reason);
    ASSERT_TRUE(handle);
    chmod(file.c_str(), 0444);
    EXPECT_EQ(handle->ReplaceContent(Filled(10, 'n')).Reason(), "the file is read-only");
    chmod(file.c_str(), 0644);
    // Renamed behind the handle's back: the name it knows is no longer this file.
    ASSERT_EQ(rename(file.c_str(), (dir / "renamed.gif").c_str()), 0);
    EXPECT_EQ(handle->ReplaceContent(Filled(10, 'n')).Reason(),
              "the file was moved or replaced while it was rewritten");
    handle->Renamed(dir / "renamed.gif");
    EXPECT_TRUE(Done(handle->ReplaceContent(Filled(10, 'n'))));
    EXPECT_EQ(ReadFile(dir / "renamed.gif"), std::string(10, 'n'));
    // Its folder swapped for a link to another folder: nothing is written there.
    TempDir elsewhere;
    const std::string folder = dir.Path();
    ASSERT_EQ(rename(folder.c_str(), (folder + ".moved").c_str()), 0);
    ASSERT_EQ(symlink(elsewhere.Path().c_str(), folder.c_str()), 0);
    EXPECT_EQ(handle->ReplaceContent(Filled(20, 'n')).Reason(),
              "a folder on its path was replaced by a symbolic link");
    EXPECT_TRUE(Entries(elsewhere.Path()).empty());
    unlink(folder.c_str());
    rename((folder + ".moved").c_str(), folder.c_str());
}

// Whether `path` begins with `c` (the rewrite has begun writing it).
bool BeginsWith(const std::string& path, char c) {
    std::ifstream in(path, std::ios::binary);
    return in.get() == c;
}

// A run killed in the middle of a large rewrite: SIGTERM is held off until the file is whole;
// after SIGKILL, which nothing holds off, the next run's mending leaves the file wholly old or
// wholly new, and nothing of the rewrite behind. The kill is timed from a moment the rewrite
// shows: its own new file appearing beside a file with one name, the first new bytes in a file
// written in place. KELVANE_LONG_TESTS asks for many more kills.
TEST(ReplaceContentTest, KilledMidWriteLeavesTheFileWhollyOldOrNew) {
    constexpr std::size_t kOldSize = 24u << 20;
    constexpr std::size_t kNewSize = 32u << 20;
    const std::vector<std::uint8_t> fresh = Filled(kNewSize, 'n');
    struct Case {
        Links links;
        int signal;
    };
    const StateHome state;
    for (const Case c :
         {Case{Links::One, SIGKILL}, Case{Links::Two, SIGTERM}, Case{Links::Two, SIGKILL}}) {
        const int rounds = std::getenv("KELVANE_LONG_TESTS") ? 25 : 1;
        for (int round = 0; round < rounds * 4; ++round) {
            const int delayMs = (round % 4 == 0) ? 0 : (round * 7) % 120;
            TempDir dir;
            const std::string file = MakeFile(dir, std::string(kOldSize, 'o'), c.links);
            const pid_t child = StartChild([&] {
                std::string reason;
                return Replace(file, fresh, reason);
            });
            const auto begun = [&] {
                return c.links == Links::One ? Entries(dir.Path()).front()[0] == '.'
                                             : BeginsWith(file, 'n');
            };
            for (int waited = 0; waited < 100000 && !begun(); ++waited)
                usleep(50);
            usleep(static_cast<useconds_t>(delayMs) * 1000);
            kill(child, c.signal);
            WaitChild(child);
            const std::vector<MendedRewrite> mended = MendInterruptedRewrites();
            // Held off until done: nothing is left to mend.
            if (c.signal == SIGTERM) {
                EXPECT_TRUE(mended.empty());
            }
            const std::string content = ReadFile(file);
            const bool old = content == std::string(kOldSize, 'o');
            EXPECT_TRUE(old || content == std::string(kNewSize, 'n'))
                << "signal " << c.signal << " after " << delayMs << " ms: " << content.size();
            if (c.links == Links::Two) {
                EXPECT_EQ(ReadFile(dir / "other-name.gif"), content);
            }
            EXPECT_EQ(Entries(dir.Path()).size(), c.links == Links::Two ? 2u : 1u);
            EXPECT_TRUE(Entries(state.Records()).empty());
        }
    }
}

// A file-size limit (ulimit -f) or a full disk: the rewrite fails with the system's reason,
// the file stays as it was and nothing is left behind.
TEST(ReplaceContentTest, SizeLimitAndFullDiskFailCleanly) {
    TempDir dir;
    const std::string mountPoint = dir / "small";
    mkdir(mountPoint.c_str(), 0755);
    const bool haveSmallDisk = mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=1M") == 0;
    struct Case {
        bool fullDisk;
        Links links;
    };
    const Case cases[] = {
        {false, Links::One}, {false, Links::Two}, {true, Links::One}, {true, Links::Two}};
    for (const Case& c : cases) {
        if (c.fullDisk && !haveSmallDisk)
            continue;
        TempDir normal;
        const std::string folder = c.fullDisk ? mountPoint : normal.Path();
        const std::string old(c.fullDisk ? 300u << 10 : 16u << 10, 'o');
        const std::string file = folder + "/image.gif";
        { std::ofstream(file) << old; }
        if (c.links == Links::Two)
            link(file.c_str(), (folder + "/other-name.gif").c_str());
        const auto entriesBefore = Entries(folder);
        const std::vector<std::uint8_t> bigger = Filled(c.fullDisk ? 800u << 10 : 128u << 10, 'n');
        const char* expected = c.fullDisk ? "No space left on device" : "File too large";
        EXPECT_TRUE(RunInChild([&] {
            if (!c.fullDisk) {
                const rlimit limit{64u << 10, 64u << 10};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            std::string reason;
            return !Replace(file, bigger, reason) && reason == expected;
        })) << (c.fullDisk ? "full disk" : "size limit");
        EXPECT_EQ(ReadFile(file), old);
        EXPECT_EQ(Entries(folder), entriesBefore);
        unlink(file.c_str());
        unlink((folder + "/other-name.gif").c_str());
    }
    if (haveSmallDisk)
        umount(mountPoint.c_str());
    else
        GTEST_SKIP() << "cannot mount a small tmpfs here; the size limit was tested";
}

// Someone else's file that the caller may write: the new file could not be given its owner,
// so it is written in place and keeps it.
TEST(ReplaceContentPermissionTest, AnotherOwnersFileKeepsItsOwner) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to own a file of another user";
    TempDir dir;
    chmod(dir.Path().c_str(), 0777);
    const std::string file = dir.Write("image.gif", "old");
    chmod(file.c_str(), 0666);
    // The user's own folder keeps the record of the rewrite.
    const StateHome state;
    EXPECT_TRUE(AsOrdinaryUser({dir.Path(), state.Home()}, [&] {
        std::string reason;
        return Replace(file, Filled(10, 'n'), reason);
    }));
    struct stat st {};
    stat(file.c_str(), &st);
    EXPECT_EQ(st.st_uid, 0u);
    EXPECT_EQ(ReadFile(file), std::string(10, 'n'));
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"image.gif"});
}

}  // namespace
}  // namespace platform
