// Attributes and creation times on real volumes: NTFS images through ntfs-3g and lowntfs-3g,
// read back with ntfsinfo once unmounted (what Windows will find there); the store each kind
// of volume gets; and a real smbd sharing a folder, asked with smbclient what a Windows client
// sees. Each skips, saying why, where the machine cannot mount or serve.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "ChildProcess.h"
#include "TestMount.h"
#include "platform/FileSystem.h"
#include "platform/Volume.h"
#include "platform/linux/AttributeStore.h"
#include "platform/linux/FileEntry.h"
#include "platform/linux/VolumeKind.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using testsupport::RunProcess;
using testsupport::TempDir;

constexpr std::uint32_t kRHSA = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
constexpr FileTime kCreated = 126'256'467'060'000'000ull;   // 2001-02-03 04:05:06 UTC
constexpr FileTime kWritten = 126'596'919'680'000'000ull;   // 2002-03-04 05:06:08 UTC
constexpr FileTime kAccessed = 126'939'744'000'000'000ull;  // 2003-04-05 00:00:00 UTC

// One line of what ntfsinfo prints of a file's standard information, after its label.
std::string NtfsInfo(const std::string& image, const std::string& name, const std::string& label) {
    const std::string out = RunProcess("ntfsinfo", {"-F", "/" + name, image}, "/").out;
    const std::size_t at = out.find(label);
    if (at == std::string::npos)
        return "(no " + label + ")";
    const std::size_t start = out.find_first_not_of(" \t", at + label.size());
    return out.substr(start, out.find('\n', start) - start);
}

TEST(NtfsVolumeTest, AttributesAndTimesReachWhatWindowsReads) {
    for (const char* driver : {"ntfs-3g", "lowntfs-3g"}) {
        SCOPED_TRACE(driver);
        TempDir dir;
        NtfsMount ntfs(dir, {driver});
        if (!ntfs.Mounted())
            GTEST_SKIP() << kNoNtfs;
        struct Case {
            const char* name;
            std::uint32_t first;
            std::uint32_t then;
            const char* ntfsinfo;
        };
        const Case cases[] = {
            {"r.txt", kRHSA, kAttrReadOnly, "READONLY (0x00000001)"},
            {"h.txt", kAttrReadOnly | kAttrArchive, kAttrHidden, "HIDDEN (0x00000002)"},
            {"s.txt", kAttrHidden, kAttrSystem, "SYSTEM (0x00000004)"},
            {"a.txt", kAttrSystem, kAttrArchive, "ARCHIVE (0x00000020)"},
            {"none.txt", kRHSA, 0, "(0x00000000)"},
        };
        for (const Case& c : cases) {
            // ntfs-3g shows a system file of 0 or 1 byte as a FIFO or a socket (Interix).
            std::ofstream(ntfs / c.name) << "content";
            EXPECT_TRUE(SetFileAttributes(ntfs / c.name, c.first)) << c.name;
            EXPECT_TRUE(SetFileAttributes(ntfs / c.name, c.then)) << c.name;
            EXPECT_EQ(GetFileAttributes(ntfs / c.name), c.then) << c.name;
            EXPECT_FALSE(getxattr((ntfs / c.name).c_str(), "user.DOSATTRIB", nullptr, 0) >= 0);
        }
        // Read-only is the volume's bit, and a read-only file keeps its times, as on Windows.
        EXPECT_FALSE(SetFileTimes(ntfs / "r.txt", {kCreated, kAccessed, kWritten}));
        std::ofstream(ntfs / "t.txt") << "x";
        EXPECT_TRUE(SetFileTimes(ntfs / "t.txt", {kCreated, kAccessed, kWritten}));
        EXPECT_EQ(FindPath(ntfs / "t.txt")->creationTime, kCreated);
        // A file made in a compressed folder is compressed; that bit is the volume's to keep.
        mkdir((ntfs / "packed").c_str(), 0755);
        const std::string compressedFolder = linux_fs::EncodeLittleEndian(0x810, 4);
        ASSERT_EQ(setxattr((ntfs / "packed").c_str(), "system.ntfs_attrib", compressedFolder.data(),
                           compressedFolder.size(), 0),
                  0);
        std::ofstream(ntfs / "packed/c.txt") << "x";
        EXPECT_TRUE(SetFileAttributes(ntfs / "packed/c.txt", kAttrHidden));
        EXPECT_EQ(GetFileAttributes(ntfs / "packed/c.txt"), kAttrHidden | kAttrCompressed);

        ntfs.Unmount();
        for (const Case& c : cases)
            EXPECT_EQ(NtfsInfo(ntfs.Image(), c.name, "File attributes:"), c.ntfsinfo) << c.name;
        EXPECT_EQ(NtfsInfo(ntfs.Image(), "t.txt", "File Creation Time:"),
                  "Sat Feb  3 04:05:06 2001 UTC");
        EXPECT_EQ(NtfsInfo(ntfs.Image(), "t.txt", "File Altered Time:"),
                  "Mon Mar  4 05:06:08 2002 UTC");
        EXPECT_EQ(NtfsInfo(ntfs.Image(), "t.txt", "Last Accessed Time:"),
                  "Sat Apr  5 00:00:00 2003 UTC");
        EXPECT_EQ(NtfsInfo(ntfs.Image(), "packed/c.txt", "File attributes:"),
                  "HIDDEN COMPRESSED (0x00000802)");
    }
}

// Where Windows does not read the volume itself, the attributes stay in "user.DOSATTRIB"; a
// FUSE volume that is not NTFS is not taken for one, nor a view of NTFS for ntfs-3g. Every
// FUSE volume answers through its daemon, so look-ups there are asked several at once.
TEST(VolumeStoreTest, OnlyWindowsVolumesLeaveUserDosAttrib) {
    TempDir dir;
    mkdir((dir / "source").c_str(), 0755);
    TestMount tmpfs(dir / "tmpfs", {"mount", "-t", "tmpfs", "tmpfs"});
    TestMount fuse(dir / "fuse", {"bindfs", dir / "source"});
    NtfsMount ntfs(dir, {"ntfs-3g"});
    // A view of a folder on NTFS passes the volume's own attributes through; it is no ntfs-3g.
    TestMount view(dir / "view", {"bindfs", ntfs.Path()});
    const std::string dosAttrib = "the write bits and user.DOSATTRIB";
    struct Case {
        const char* what;
        const TestMount* mount;  // none: the temporary folder's own volume
        const char* fileSystem;  // empty: whichever it is
        std::string attributes;
        bool roundTrips;
    };
    const Case cases[] = {
        {"the temporary folder", nullptr, "", dosAttrib, false},
        {"tmpfs", &tmpfs, "tmpfs", dosAttrib, false},
        {"FUSE, not NTFS (bindfs)", &fuse, "fuse", dosAttrib, true},
        {"ntfs-3g", &ntfs, "ntfs-3g", "system.ntfs_attrib", true},
        {"bindfs over ntfs-3g", &view, "fuse", "system.ntfs_attrib", true},
    };
    for (const Case& c : cases) {
        if (c.mount && !c.mount->Mounted()) {
            std::cout << "[ SKIPPED  ] " << c.what << ": cannot mount it here\n";
            continue;
        }
        const std::string file = (c.mount ? c.mount->Path() : dir.Path()) + "/f.txt";
        std::ofstream(file) << "x";
        const std::optional<AttributeHome> home = FindAttributeHome(file);
        ASSERT_TRUE(home) << c.what;
        if (*c.fileSystem) {
            EXPECT_EQ(home->fileSystem, c.fileSystem) << c.what;
        }
        EXPECT_EQ(home->attributes, c.attributes) << c.what;
        EXPECT_EQ(AnswersOverARoundTrip(file), c.roundTrips) << c.what;
        EXPECT_TRUE(SetFileAttributes(file, kAttrHidden)) << c.what;
        EXPECT_EQ(GetFileAttributes(file), kAttrHidden) << c.what;
        const bool inDosAttrib = getxattr(file.c_str(), "user.DOSATTRIB", nullptr, 0) > 0;
        EXPECT_EQ(inDosAttrib, c.attributes == dosAttrib) << c.what;
    }
}

// An unmount frees a device number that the next mount soon takes: the volume found there is
// looked at afresh, whether the kernel tells mounts apart by a unique id or only by device.
TEST(VolumeStoreTest, AVolumeMountedInPlaceOfAnotherIsLookedAtAfresh) {
    const struct {
        const char* what;
        unsigned statxMask;
    } lookUps[] = {{"unique mount id", linux_fs::kStatxMask}, {"device number", STATX_BASIC_STATS}};
    for (const auto& lookUp : lookUps) {
        SCOPED_TRACE(lookUp.what);
        const auto storeOf = [&](const std::string& path) {
            struct statx st {};
            EXPECT_EQ(statx(AT_FDCWD, path.c_str(), 0, lookUp.statxMask, &st), 0);
            const auto file = linux_fs::TFileRef::OfPath(path, LinkRule::Follow);
            return linux_fs::VolumeStoreOf(file, st).kind;
        };
        TempDir dir;
        mkdir((dir / "source").c_str(), 0755);
        {
            TestMount fuse(dir / "mnt", {"bindfs", dir / "source"});
            if (!fuse.Mounted())
                GTEST_SKIP() << "cannot mount bindfs here";
            EXPECT_EQ(storeOf(fuse.Path()), linux_fs::StoreKind::DosAttrib);
        }
        NtfsMount ntfs(dir, {"ntfs-3g"});
        if (!ntfs.Mounted())
            GTEST_SKIP() << kNoNtfs;
        EXPECT_EQ(storeOf(ntfs.Path()), linux_fs::StoreKind::Ntfs);
    }
}

// A port above 1024 on the loopback that nothing listens on right now.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

// smbd sharing `dir`/share as "share" to guests on 127.0.0.1, with Samba's defaults for DOS
// attributes (stored in user.DOSATTRIB, read-only not mapped to the write bits).
class SambaServer {
public:
    explicit SambaServer(const TempDir& dir)
        : share_(dir / "share"), config_(dir / "smb.conf"), port_(std::to_string(FreePort())) {
        const std::string state = dir / "state";
        mkdir(share_.c_str(), 0755);
        mkdir(state.c_str(), 0755);
        std::ofstream(config_) << "[global]\nsmb ports = " << port_
                               << "\ninterfaces = 127.0.0.1\nbind interfaces only = yes\n"
                                  "disable netbios = yes\nserver role = standalone server\n"
                                  "map to guest = Bad User\nload printers = no\n"
                               << "pid directory = " << state << "\nlock directory = " << state
                               << "\nstate directory = " << state << "\ncache directory = " << state
                               << "\nprivate dir = " << state << "\nncalrpc dir = " << state
                               << "\nlog file = " << state << "/log\n[share]\npath = " << share_
                               << "\nread only = no\nguest ok = yes\nforce user = root\n";
        const std::string log = state + "/out";
        server_ = StartChild([&] {
            const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(out, 2);
            execlp("smbd", "smbd", "--foreground", "-s", config_.c_str(), nullptr);
            return false;
        });
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!running_ && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            running_ = Client("ls").exitCode == 0;
        }
    }
    SambaServer(const SambaServer&) = delete;
    SambaServer& operator=(const SambaServer&) = delete;
    ~SambaServer() {
        kill(server_, SIGTERM);
        WaitChild(server_);
    }

    bool Running() const { return running_; }
    std::string operator/(const std::string& name) const { return share_ + "/" + name; }

    testsupport::ProcessResult Client(const std::string& command) const {
        return RunProcess("smbclient",
                          {"-N", "-p", port_, "//127.0.0.1/share", "-s", config_, "-c", command},
                          "/");
    }
    // The attribute letters the client is shown ("RA"), from "attributes: RA (21)".
    std::string AttributeLetters(const std::string& name) const {
        const std::string out = Client("allinfo " + name).out;
        const std::size_t at = out.find("attributes:");
        if (at == std::string::npos)
            return "(none shown)";
        const std::size_t start = at + 11;
        std::string letters = out.substr(start, out.find(" (", start) - start);
        letters.erase(0, letters.find_first_not_of(' '));
        return letters;
    }

private:
    std::string share_;
    std::string config_;
    std::string port_;
    pid_t server_ = -1;
    bool running_ = false;
};

// A client reads read-only from the stored value, not from the write bits; here both count.
TEST(SambaShareTest, ReadOnlyIsTheSameForUsAndTheClient) {
    TempDir dir;
    SambaServer samba(dir);
    if (!samba.Running())
        GTEST_SKIP() << "cannot start smbd here (needs the samba package and root)";
    std::ofstream(samba / "ours.txt") << "x";
    std::ofstream(samba / "theirs.txt") << "x";

    EXPECT_TRUE(SetFileAttributes(samba / "ours.txt", kAttrReadOnly | kAttrArchive));
    EXPECT_EQ(samba.AttributeLetters("ours.txt"), "RA");

    // Samba stores the client's read-only and leaves the write bits as they are.
    ASSERT_EQ(samba.Client("setmode theirs.txt +r").exitCode, 0);
    EXPECT_EQ(GetFileAttributes(samba / "theirs.txt") & kAttrReadOnly, kAttrReadOnly);
    EXPECT_TRUE(SetFileAttributes(samba / "theirs.txt", kAttrHidden));
    EXPECT_EQ(samba.AttributeLetters("theirs.txt"), "H");
    struct stat st {};
    stat((samba / "theirs.txt").c_str(), &st);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
}

}  // namespace
}  // namespace platform
