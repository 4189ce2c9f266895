// Volume kinds on Linux: network file systems are remote, ISO 9660 and UDF are CD-ROMs, a
// block device the kernel marks removable is removable, and every other volume is fixed
// (tmpfs included: Linux keeps ordinary working folders there).

#include "platform/Volume.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <map>
#include <mutex>

#include "platform/linux/FileEntry.h"
#include "platform/linux/VolumeKind.h"

namespace platform {
namespace {

constexpr long kNfs = 0x6969;
constexpr long kSmb = 0x517B;
constexpr long kCifs = 0xFF534D42;
constexpr long kSmb2 = 0xFE534D42;
constexpr long kAfs = 0x5346414F;
constexpr long kCoda = 0x73757245;
constexpr long kNcp = 0x564C;
constexpr long kNineP = 0x01021997;
constexpr long kCeph = 0x00C36400;
constexpr long kIso9660 = 0x9660;
constexpr long kUdf = 0x15013346;
constexpr long kFuse = 0x65735546;

// FUSE file systems that reach over the network, by the subtype they mount with.
bool IsNetworkFuse(const std::string& fsType) {
    static const char* const kNetwork[] = {"fuse.sshfs",   "fuse.rclone",    "fuse.s3fs",
                                           "fuse.gcsfuse", "fuse.curlftpfs", "fuse.smbnetfs",
                                           "fuse.davfs",   "fuse.glusterfs"};
    for (const char* name : kNetwork) {
        if (fsType == name)
            return true;
    }
    return false;
}

bool IsRemovableDevice(dev_t device) {
    const std::string base =
        "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
    // A partition carries no flag of its own; its disk, one folder up, does.
    for (const std::string& flag : {base + "/removable", base + "/../removable"}) {
        std::ifstream in(flag);
        int removable = 0;
        if (in >> removable)
            return removable == 1;
    }
    return false;
}

bool IsNetworkFileSystem(long fsType) {
    switch (fsType) {
        case kNfs:
        case kSmb:
        case kCifs:
        case kSmb2:
        case kAfs:
        case kCoda:
        case kNcp:
        case kNineP:
        case kCeph:
            return true;
        default:
            return false;
    }
}

DriveType ClassifyVolume(long fsType, dev_t device) {
    if (IsNetworkFileSystem(fsType))
        return DriveType::Remote;
    switch (fsType) {
        case kIso9660:
        case kUdf:
            return DriveType::CdRom;
        case kFuse:
            if (IsNetworkFuse(linux_fs::MountOf(device).type))
                return DriveType::Remote;
            break;
        default:
            break;
    }
    return IsRemovableDevice(device) ? DriveType::Removable : DriveType::Fixed;
}

}  // namespace

std::optional<AttributeHome> FindAttributeHome(const std::string& path) {
    struct statx st {};
    if (statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, linux_fs::kStatxMask, &st) != 0)
        return std::nullopt;
    const linux_fs::VolumeStore volume =
        linux_fs::VolumeStoreOf(linux_fs::TFileRef::OfPath(path, LinkRule::Follow), st);
    const linux_fs::TAttributeStore& store = linux_fs::StoreOf(volume.kind);
    return AttributeHome{volume.fileSystem, store.AttributesHome(), store.CreationTimeHome()};
}

DriveType GetDriveType(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return DriveType::NoRootDir;
    return GetDriveType(path, st.st_dev);
}

DriveType GetDriveType(const std::string& path, std::uint64_t device) {
    // Asked for every path added: classify each volume once.
    static std::mutex mutex;
    static std::map<dev_t, DriveType> known;
    std::lock_guard lock(mutex);
    const auto found = known.find(device);
    if (found != known.end())
        return found->second;
    struct statfs fs {};
    if (statfs(path.c_str(), &fs) != 0)
        return DriveType::NoRootDir;
    return known.emplace(device, ClassifyVolume(static_cast<long>(fs.f_type), device))
        .first->second;
}

bool AnswersOverARoundTrip(const std::string& path) {
    struct statfs fs {};
    if (statfs(path.c_str(), &fs) != 0)
        return false;
    const long fsType = static_cast<long>(fs.f_type);
    return fsType == kFuse || IsNetworkFileSystem(fsType);
}

}  // namespace platform
