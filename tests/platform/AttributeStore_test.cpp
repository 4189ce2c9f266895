// The choice of store and the stores of volumes this machine cannot mount (SMB, FAT, exFAT),
// run on an ordinary file: "user.cifs.*" are plain user attributes there, so the SMB store
// reads and writes them as the CIFS client would hand them to it.

#include "platform/linux/AttributeStore.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "platform/linux/VolumeKind.h"
#include "support/TempDir.h"

namespace platform::linux_fs {
namespace {

using testsupport::TempDir;

constexpr FileTime kCreated = 126'256'467'060'000'000ull;  // 2001-02-03 04:05:06 UTC

TEST(AttributeStoreTest, ChosenByTheFileSystem) {
    struct Case {
        const char* what;
        long magic;
        bool answersNtfs;
        StoreKind kind;
    };
    const Case cases[] = {
        {"ext4", 0xEF53, false, StoreKind::DosAttrib},
        {"tmpfs", 0x01021994, false, StoreKind::DosAttrib},
        {"xfs", 0x58465342, false, StoreKind::DosAttrib},
        {"ntfs3", 0x7366746E, false, StoreKind::Ntfs},
        {"cifs", 0xFF534D42, false, StoreKind::Cifs},
        {"smb3", 0xFE534D42, false, StoreKind::Cifs},
        {"vfat", 0x4D44, false, StoreKind::Fat},
        {"exfat", 0x2011BAB0, false, StoreKind::Exfat},
        {"ntfs-3g", 0x65735546, true, StoreKind::Ntfs},
        {"another FUSE file system", 0x65735546, false, StoreKind::DosAttrib},
        // Only FUSE is asked; an answer elsewhere is another program's attribute.
        {"ext4 with such an attribute", 0xEF53, true, StoreKind::DosAttrib},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseStore(c.magic, c.answersNtfs), c.kind) << c.what;
}

TEST(AttributeStoreTest, LittleEndianValues) {
    EXPECT_EQ(EncodeLittleEndian(0x826, 4), std::string("\x26\x08\0\0", 4));
    EXPECT_EQ(DecodeLittleEndian(EncodeLittleEndian(kCreated, 8), 8), kCreated);
    EXPECT_FALSE(DecodeLittleEndian(std::string("\x26\x08\0", 3), 4));
    EXPECT_FALSE(DecodeLittleEndian(std::string(5, '\0'), 4));
}

class TCifsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.Write("share.txt", "x");
        fd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    }
    void TearDown() override { close(fd_); }

    void SetRaw(const char* name, const std::string& value) {
        ASSERT_EQ(setxattr(path_.c_str(), name, value.data(), value.size(), 0), 0);
    }
    std::string Raw(const char* name) const {
        char buffer[64];
        const ssize_t n = getxattr(path_.c_str(), name, buffer, sizeof buffer);
        return std::string(buffer, n < 0 ? 0 : static_cast<std::size_t>(n));
    }
    StoreReading Read() const {
        struct statx st {};
        statx(fd_, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &st);
        return CifsStore().Read(File(), "share.txt", st);
    }
    bool Set(std::uint32_t attributes, std::string& reason) const {
        struct statx st {};
        return CifsStore().SetAttributes(File(), "share.txt", st, attributes, reason);
    }
    TFileRef File() const { return TFileRef::OfDescriptor(fd_, false); }

    TempDir dir_;
    std::string path_;
    int fd_ = -1;
};

constexpr const char* kWord = "user.cifs.dosattrib";

TEST_F(TCifsStoreTest, ChangesOnlyReadOnlyHiddenSystemAndArchive) {
    struct Case {
        std::uint32_t before;
        std::uint32_t asked;
        std::uint32_t after;
    };
    const Case cases[] = {
        {0x20, kAttrReadOnly | kAttrHidden, 0x03},
        // Compressed and sparse are the server's; they stay.
        {0xA20, kAttrHidden | kAttrTemporary, 0xA02},
        // A word of 0 would leave the attributes alone on the server: "normal" clears them.
        {0x27, 0, 0x80},
        {0x80, kAttrSystem, 0x04},
    };
    for (const Case& c : cases) {
        SetRaw(kWord, EncodeLittleEndian(c.before, 4));
        std::string reason;
        EXPECT_TRUE(Set(c.asked, reason)) << reason;
        EXPECT_EQ(Raw(kWord), EncodeLittleEndian(c.after, 4)) << std::hex << c.before;
        EXPECT_EQ(Read().attributes, c.after & ~0x80u);
    }
}

TEST_F(TCifsStoreTest, CreationTimeIsTheServersOwn) {
    std::string reason;
    ASSERT_TRUE(CifsStore().SetCreationTime(File(), kCreated, reason)) << reason;
    EXPECT_EQ(Raw("user.cifs.creationtime"), EncodeLittleEndian(kCreated, 8));
    EXPECT_EQ(Read().creationTime, kCreated);
}

TEST_F(TCifsStoreTest, AWordItCannotReadIsNeverOverwritten) {
    std::string reason;
    EXPECT_FALSE(Set(kAttrHidden, reason));
    EXPECT_EQ(reason, "cannot read user.cifs.dosattrib: No data available");
    SetRaw(kWord, std::string("\x22\x00", 2));
    EXPECT_FALSE(Set(kAttrHidden, reason));
    EXPECT_EQ(reason, "cannot read user.cifs.dosattrib: Bad message");
    EXPECT_EQ(Raw(kWord), std::string("\x22\x00", 2));
}

// FAT's ioctls fail on any other volume, as they would where the driver refuses them; exFAT
// takes no change from Linux at all.
TEST(AttributeStoreTest, FatAndExfatSayWhatCannotBeDone) {
    TempDir dir;
    const std::string path = dir.Write("f.txt", "x");
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const TFileRef file = TFileRef::OfDescriptor(fd, false);
    struct statx st {};
    ASSERT_EQ(statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &st), 0);
    struct Case {
        const TAttributeStore& store;
        std::uint32_t asked;
        const char* reason;  // empty: done
    };
    const Case cases[] = {
        {FatStore(), kAttrHidden, "cannot read the FAT attributes: Inappropriate ioctl for device"},
        {ExfatStore(), 0, ""},
        {ExfatStore(), kAttrArchive,
         "Linux cannot change the attributes of a file on an exFAT volume"},
    };
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_EQ(c.store.SetAttributes(file, "f.txt", st, c.asked, reason), !*c.reason);
        EXPECT_EQ(reason, c.reason);
    }
    std::string reason;
    EXPECT_FALSE(FatStore().SetCreationTime(file, kCreated, reason));
    EXPECT_EQ(reason, "Linux cannot change the creation time of a file on a FAT volume");
    EXPECT_FALSE(ExfatStore().SetCreationTime(file, kCreated, reason));
    EXPECT_EQ(reason, "Linux cannot change the creation time of a file on an exFAT volume");
    // Read-only shows as the driver shows it, in the write bits.
    st.stx_mode &= ~0222;
    EXPECT_EQ(ExfatStore().Read(file, "f.txt", st).attributes, kAttrReadOnly);
    EXPECT_EQ(FatStore().Read(file, "f.txt", st).attributes, kAttrReadOnly);
    close(fd);
}

}  // namespace
}  // namespace platform::linux_fs
