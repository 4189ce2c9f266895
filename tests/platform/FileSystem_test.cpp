#include "platform/FileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>

#include "ChildProcess.h"
#include "platform/linux/DosAttrib.h"
#include "platform/linux/FileRef.h"
#include "platform/linux/FolderOpen.h"
#include "support/DeepFolder.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using testsupport::TempDir;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::string RawDosAttrib(const std::string& path) {
    char buffer[256];
    const ssize_t n = getxattr(path.c_str(), "user.DOSATTRIB", buffer, sizeof buffer);
    return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

TEST(FileSystemTest, LooksUpFilesAndFolders) {
    TempDir dir;
    const std::string latin1 = "caf\xe9.txt";  // not valid UTF-8
    dir.Write("data.bin", std::string(1234, 'x'));
    dir.Write(latin1, "abc");
    ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
    struct Case {
        std::string name;
        std::uint64_t size;
        std::uint32_t attributes;
    };
    const Case cases[] = {
        {"data.bin", 1234, 0},
        {latin1, 3, 0},
        {"sub", 0, kAttrDirectory},  // a folder shows no size
    };
    for (const Case& c : cases) {
        const auto found = FindPath(dir / c.name);
        EXPECT_TRUE(found) << c.name;
        if (!found)
            continue;
        EXPECT_EQ(found->name, c.name);
        EXPECT_EQ(found->size, c.size) << c.name;
        EXPECT_EQ(found->attributes, c.attributes) << c.name;
    }
    EXPECT_FALSE(FindPath(dir / "missing"));
    EXPECT_EQ(GetFileAttributes(dir / "missing"), kInvalidAttributes);
}

TEST(FileSystemTest, AttributesBecomeExactlyTheValue) {
    TempDir dir;
    const std::string file = dir.Write("a.txt", "x");
    struct Case {
        std::uint32_t value;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {kAttrReadOnly | kAttrArchive, kAttrReadOnly | kAttrArchive},
        {kAttrHidden | kAttrSystem, kAttrHidden | kAttrSystem},
        // Bits a caller cannot change are ignored.
        {kAttrDirectory | kAttrTemporary | kAttrCompressed | kAttrArchive, kAttrArchive},
        {0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(SetFileAttributes(file, c.value));
        EXPECT_EQ(GetFileAttributes(file), c.expected) << std::hex << c.value;
    }
    // With nothing left to keep, the attribute is removed rather than left empty.
    EXPECT_EQ(RawDosAttrib(file), "");
}

TEST(FileSystemTest, ReadsWhatWineWrote) {
    TempDir dir;
    const std::string file = dir.Write("w.txt");
    ASSERT_EQ(setxattr(file.c_str(), "user.DOSATTRIB", "0x26", 4, 0), 0);
    EXPECT_EQ(GetFileAttributes(file), kAttrHidden | kAttrSystem | kAttrArchive);
}

// Read-only shows in the write bits or in the stored value; a change that leaves it shown as
// it was (archive removed, hidden set) touches neither, and one that changes it sets both.
TEST(FileSystemTest, ReadOnlyChangesOnlyWhenItsStateDoes) {
    struct Case {
        mode_t mode;
        const char* stored;  // empty: none
        std::uint32_t asked;
        mode_t modeAfter;
        std::uint32_t storedAfter;
    };
    const mode_t cleared = 0444u | ((0600u | 0022u) & ~CurrentUmask());
    const Case cases[] = {
        {0644, "0x21", kAttrReadOnly, 0644, kAttrReadOnly},
        {0644, "0x1", kAttrReadOnly | kAttrHidden, 0644, kAttrReadOnly | kAttrHidden},
        {0444, "", kAttrReadOnly | kAttrHidden, 0444, kAttrHidden},
        {0444, "0x20", kAttrReadOnly, 0444, 0},
        {0644, "0x1", 0, 0644, 0},
        {0444, "0x1", kAttrHidden, cleared, kAttrHidden},
        // Read-only takes every write bit; clearing it gives the owner write (and write to
        // those who read, as the umask allows) only when no write bit is left.
        {0664, "", kAttrReadOnly, 0444, kAttrReadOnly},
        {0400, "", 0, 0600, 0},
        {0620, "", 0, 0620, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << c.mode << " " << c.stored);
        TempDir dir;
        const std::string file = dir.Write("a.txt", "x");
        chmod(file.c_str(), c.mode);
        if (*c.stored) {
            ASSERT_EQ(setxattr(file.c_str(), "user.DOSATTRIB", c.stored, strlen(c.stored), 0), 0);
        }
        EXPECT_TRUE(SetFileAttributes(file, c.asked));
        EXPECT_EQ(ModeOf(file), c.modeAfter);
        const auto stored = linux_fs::ParseDosAttrib(RawDosAttrib(file));
        EXPECT_EQ(stored ? stored->attributes : 0u, c.storedAfter);
        EXPECT_EQ(GetFileAttributes(file), c.asked);
    }
}

TEST(FileSystemTest, KeepsAStoredCreationTime) {
    TempDir dir;
    const std::string file = dir.Write("c.txt");
    const FileTime created = 130'000'000'000'000'000ull;
    ASSERT_TRUE(SetFileTimes(file, {created, std::nullopt, std::nullopt}));
    EXPECT_EQ(FindPath(file)->creationTime, created);
    ASSERT_TRUE(SetFileAttributes(file, kAttrHidden));
    ASSERT_TRUE(SetFileAttributes(file, 0));
    // The attribute stays while it still carries the creation time.
    const auto stored = linux_fs::ParseDosAttrib(RawDosAttrib(file));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->attributes, 0u);
    EXPECT_EQ(stored->creationTime, created);
    EXPECT_EQ(FindPath(file)->creationTime, created);
}

TEST(FileSystemTest, WritesLastWriteAndAccessTimes) {
    TempDir dir;
    const std::string file = dir.Write("t.txt");
    const FileTime write = 127'000'000'000'000'000ull;
    const FileTime access = 128'000'000'000'000'000ull;
    ASSERT_TRUE(SetFileTimes(file, {std::nullopt, access, write}));
    const auto found = FindPath(file);
    EXPECT_EQ(found->lastWriteTime, write);
    EXPECT_EQ(found->lastAccessTime, access);
    EXPECT_FALSE(SetFileTimes(dir / "missing", {std::nullopt, access, write}));
}

TEST(FileSystemTest, ReadOnlyFileKeepsItsTimes) {
    TempDir dir;
    const std::string file = dir.Write("r.txt");
    const FileTime before = FindPath(file)->lastWriteTime;
    chmod(file.c_str(), 0444);
    EXPECT_FALSE(SetFileTimes(file, {std::nullopt, std::nullopt, 127'000'000'000'000'000ull}));
    EXPECT_EQ(FindPath(file)->lastWriteTime, before);
}

TEST(FileSystemTest, FullPathIsAbsoluteAndClean) {
    EXPECT_EQ(FullPath("/a/./b//c/../d/"), "/a/b/d");
    EXPECT_EQ(FullPath("/"), "/");
    EXPECT_EQ(FullPath("/.."), "/");
    EXPECT_EQ(FullPath("/a/.hidden/..name/b"), "/a/.hidden/..name/b");
    EXPECT_EQ(FullPath("/a/b/."), "/a/b");
    EXPECT_EQ(FullPath("/a//b"), "/a/b");
    EXPECT_EQ(FullPath("/a/b/.."), "/a");
    const std::string relative = FullPath("x/y");
    EXPECT_EQ(relative.front(), '/');
    EXPECT_EQ(relative.substr(relative.size() - 4), "/x/y");
}

// A named path means what it means to the system: ".." after a link leads above the link's
// target, a link on the folder's path gives the row the real folder, a link named last stands
// for its target and a dangling one comes back as it is.
TEST(FileSystemTest, NamedPathsAreResolvedAsTheSystemResolvesThem) {
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "dd").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "dd/real").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "dd/real/sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink("real/sub", (dir / "dd/lnk").c_str()), 0);
    ASSERT_EQ(symlink("lnk/in-sub.txt", (dir / "dd/file-link").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir / "dd/dangling").c_str()), 0);
    for (const char* file : {"dd/t.txt", "dd/real/t.txt", "dd/real/sub/in-sub.txt"})
        dir.Write(file);
    const std::string real = ResolvedPath(dir.Path());
    struct Case {
        const char* named;
        const char* row;  // below `real`; empty: nothing found
    };
    const Case cases[] = {
        {"dd/lnk/../t.txt", "dd/real/t.txt"},
        {"dd/lnk/in-sub.txt", "dd/real/sub/in-sub.txt"},
        {"dd/file-link", "dd/real/sub/in-sub.txt"},
        {"dd/missing/../t.txt", "dd/t.txt"},  // nothing to resolve: folded as written
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        std::string path = FullPath(real + "/" + c.named);
        TOpenFolders folders;
        const std::optional<FindData> found = FindNamedPath(path, folders);
        EXPECT_EQ(path, real + "/" + c.row);
        EXPECT_TRUE(found);
    }
    std::string dangling = real + "/dd/dangling";
    TOpenFolders folders;
    EXPECT_FALSE(FindNamedPath(dangling, folders));
    EXPECT_EQ(dangling, real + "/dd/dangling");
}

// A search lists paths longer than one call takes; their rows are looked up all the same.
TEST(FileSystemTest, APathLongerThanACallTakesIsLookedUp) {
    TempDir dir;
    const testsupport::DeepFolder deep(dir.Path());
    const std::string file = deep.Write("deepest.txt", "abc");
    const std::string link = deep.Link("link", "deepest.txt");
    const std::optional<FindData> found = FindPath(file);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->size, 3u);
    EXPECT_EQ(found->name, "deepest.txt");
    const std::optional<FindData> linkItself = FindPath(link, LinkRule::NoFollow);
    EXPECT_TRUE(linkItself && linkItself->kind == EntryKind::SymbolicLink);
    EXPECT_FALSE(FindPath(deep.Path() + "/missing"));
}

// The entries whose look-up in the open folder differs from the look-up of their path, with
// either link rule; empty when none does.
std::string LookedUpOtherwiseInTheFolder(const TempDir& dir,
                                         const std::vector<std::string>& names) {
    const linux_fs::TDescriptor folder(open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY));
    std::string differing;
    for (const std::string& name : names) {
        for (const LinkRule rule : {LinkRule::Follow, LinkRule::NoFollow}) {
            if (FindAt(folder.Get(), dir / name, rule) != FindPath(dir / name, rule))
                differing += name + " ";
        }
    }
    return differing;
}

// Has a system call fail in this process with `error`, as an older kernel (ENOSYS) or a
// sandbox (EPERM) fails it.
bool RefuseCall(unsigned call, int error) {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<unsigned>(error)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

TEST(FileSystemTest, AnEntryOfAnOpenFolderShowsWhatItsPathShows) {
    TempDir dir;
    dir.Write("plain.txt", "abc");
    const std::string attributed = dir.Write("dosattrib.txt", "x");
    ASSERT_EQ(setxattr(attributed.c_str(), "user.DOSATTRIB", "0x26", 4, 0), 0);
    ASSERT_EQ(symlink("dosattrib.txt", (dir / "link").c_str()), 0);
    ASSERT_EQ(symlink("missing", (dir / "dangling").c_str()), 0);
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
    const std::vector<std::string> names = {"plain.txt", "dosattrib.txt", "link", "dangling",
                                            "folder"};
    EXPECT_EQ(LookedUpOtherwiseInTheFolder(dir, names), "");
    for (const int error : {ENOSYS, EPERM}) {
        EXPECT_TRUE(RunInChild([&] {
            constexpr unsigned kGetxattrat = 464;
            return RefuseCall(kGetxattrat, error) &&
                   LookedUpOtherwiseInTheFolder(dir, names).empty();
        })) << error;
    }

    // FAT's ioctls reach the entry through a descriptor opened in the folder, by the same rule.
    const linux_fs::TDescriptor folder(open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY));
    const auto link = [&](LinkRule rule) {
        return linux_fs::TFileRef::InFolder(folder.Get(), dir / "link", rule);
    };
    linux_fs::TDescriptor owned;
    struct stat opened {};
    // The target holds one byte.
    EXPECT_TRUE(link(LinkRule::Follow).IoctlDescriptor(owned) >= 0 &&
                fstat(owned.Get(), &opened) == 0 && opened.st_size == 1);
    EXPECT_LT(link(LinkRule::NoFollow).IoctlDescriptor(owned), 0);
}

// How each path of the table opens as a folder without following links: "" when it opens,
// else the paths that gave another error than the table's.
std::string FoldersOpenedWithoutLinks(const TempDir& dir) {
    const std::pair<const char*, int> cases[] = {
        {"folder", 0},         {"folder/inner", 0}, {"link", ELOOP},
        {"link/inner", ELOOP}, {"file", ENOTDIR},   {"folder/missing", ENOENT},
    };
    std::string wrong;
    for (const auto& [name, error] : cases) {
        const int fd = OpenFolderWithoutLinks(dir / name, FolderUse::LookUp);
        if ((fd >= 0 ? 0 : errno) != error)
            wrong += std::string(name) + " ";
        if (fd >= 0)
            close(fd);
    }
    return wrong;
}

TEST(FileSystemTest, AFolderIsOpenedWithoutFollowingALinkAlsoWhereOpenat2IsRefused) {
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "folder/inner").c_str(), 0755), 0);
    ASSERT_EQ(symlink("folder", (dir / "link").c_str()), 0);
    dir.Write("file");
    EXPECT_EQ(FoldersOpenedWithoutLinks(dir), "");
    for (const int error : {ENOSYS, EPERM}) {
        EXPECT_TRUE(RunInChild([&] {
            return RefuseCall(SYS_openat2, error) && FoldersOpenedWithoutLinks(dir).empty();
        })) << error;
    }
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

TEST(FileSystemPermissionTest, OwnerChangesTheAttributesOfAReadOnlyFile) {
    TempDir dir;
    chmod(dir.Path().c_str(), 0755);
    const std::string file = dir.Write("ro.txt", "x");
    chmod(file.c_str(), 0444);
    EXPECT_TRUE(AsOrdinaryUser({file}, [&] {
        return SetFileAttributes(file, kAttrReadOnly | kAttrHidden) &&
               GetFileAttributes(file) == (kAttrReadOnly | kAttrHidden) &&
               SetFileAttributes(file, kAttrHidden) && GetFileAttributes(file) == kAttrHidden &&
               SetFileAttributes(file, kAttrReadOnly) && GetFileAttributes(file) == kAttrReadOnly;
    }));
    EXPECT_EQ(ModeOf(file), 0444u);
}

TEST(FileSystemPermissionTest, SomeoneElsesFileKeepsItsAttributes) {
    TempDir dir;
    chmod(dir.Path().c_str(), 0755);
    const std::string mine = dir.Write("mine.txt", "x");
    const std::string theirs = dir.Write("theirs.txt", "x");
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to own a file of another user";
    chmod(theirs.c_str(), 0444);
    EXPECT_TRUE(AsOrdinaryUser({mine}, [&] {
        return !SetFileAttributes(theirs, kAttrHidden) &&
               GetFileAttributes(theirs) == kAttrReadOnly;
    }));
}

// SIGTERM at random moments of a run that sets hidden on read-only files, read-only kept, as
// their owner: root writes the attribute as the file is, the owner must lend itself the write
// bit. The run has a second thread that masks nothing, so the signal may reach either thread.
// No file may be left writable. KELVANE_LONG_TESTS asks for many more runs.
TEST(FileSystemPermissionTest, EndedRunLeavesNoReadOnlyFileWritable) {
    TempDir dir;
    chmod(dir.Path().c_str(), 0755);
    std::vector<std::string> files;
    for (int i = 0; i < 1000; ++i)
        files.push_back(dir.Write(std::to_string(i)));
    const bool root = geteuid() == 0;
    const auto startRun = [&] {
        for (const std::string& file : files) {
            removexattr(file.c_str(), "user.DOSATTRIB");
            chmod(file.c_str(), 0444);
            if (root)
                lchown(file.c_str(), 65534, 65534);
        }
        return StartChild([&] {
            if (root && (setgid(65534) != 0 || setuid(65534) != 0))
                return false;
            std::thread([] {
                for (;;)
                    pause();
            }).detach();
            return std::all_of(files.begin(), files.end(), [](const std::string& file) {
                return SetFileAttributes(file, kAttrReadOnly | kAttrHidden);
            });
        });
    };
    const auto writable = [&] {
        return std::count_if(files.begin(), files.end(), [](const std::string& file) {
            struct stat st {};
            return stat(file.c_str(), &st) != 0 || (st.st_mode & 0222) != 0;
        });
    };
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(WaitChild(startRun()), 0);
    ASSERT_EQ(GetFileAttributes(files.back()), kAttrReadOnly | kAttrHidden);
    std::uniform_int_distribution<long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start)
               .count());
    std::mt19937 random(std::random_device{}());
    for (int run = std::getenv("KELVANE_LONG_TESTS") ? 400 : 16; run > 0; --run) {
        const pid_t child = startRun();
        const long delay = moment(random);
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        kill(child, SIGTERM);
        const int status = WaitChild(child);
        EXPECT_EQ(writable(), 0) << "ended after " << delay << " us";
        // Ended by the signal itself, once held off: not by a handler that let the run go on.
        EXPECT_TRUE(WIFEXITED(status) || WTERMSIG(status) == SIGTERM);
    }
}

// A file system without extended attributes of the user namespace (ramfs), where root may
// mount one.
TEST(FileSystemRamfsTest, TimesAreWrittenWhereNoCreationTimeCanBeStored) {
    TempDir dir;
    const std::string mountPoint = dir / "ram";
    mkdir(mountPoint.c_str(), 0755);
    if (mount("ramfs", mountPoint.c_str(), "ramfs", 0, nullptr) != 0) {
        GTEST_SKIP() << "cannot mount ramfs here";
    }
    const std::string file = mountPoint + "/f.txt";
    { std::ofstream(file) << "x"; }
    const FileTime write = 127'000'000'000'000'000ull;
    // Last write and access are set even though the creation time has nowhere to go; the
    // caller still learns that not everything it asked for was written.
    EXPECT_FALSE(SetFileTimes(file, {write, write, write}));
    EXPECT_EQ(FindPath(file)->lastWriteTime, write);
    EXPECT_TRUE(SetFileTimes(file, {std::nullopt, write, write + kTicksPerSecond * 2}));
    // A failed attribute write changes nothing, not even the read-only bit asked with it.
    chmod(file.c_str(), 0644);
    EXPECT_FALSE(SetFileAttributes(file, kAttrReadOnly | kAttrHidden));
    EXPECT_EQ(ModeOf(file), 0644u);
    EXPECT_TRUE(SetFileAttributes(file, kAttrReadOnly));
    EXPECT_EQ(GetFileAttributes(file), kAttrReadOnly);
    EXPECT_FALSE(SetFileAttributes(dir / "missing", 0));
    umount(mountPoint.c_str());
}

}  // namespace
}  // namespace platform
