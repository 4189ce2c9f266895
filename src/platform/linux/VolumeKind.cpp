#include "platform/linux/VolumeKind.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/Path.h"
#include "platform/linux/FileEntry.h"

namespace platform::linux_fs {
namespace {

constexpr long kNtfs3 = 0x7366746E;
constexpr long kOldNtfs = 0x5346544E;
constexpr long kCifs = 0xFF534D42;
constexpr long kSmb2 = 0xFE534D42;
constexpr long kMsdos = 0x4D44;  // vfat and msdos alike
constexpr long kExfat = 0x2011BAB0;
constexpr long kFuse = 0x65735546;

constexpr const char* kNtfsProbe = "system.ntfs_attrib";

// Whether the file answers as NTFS does; nullopt when the answer tells nothing either way
// (the file went away, a permission), so that the next file asks again.
std::optional<bool> AnswersNtfs(const TFileRef& file) {
    const std::optional<std::string> word = file.Xattrs().Get(kNtfsProbe);
    if (word)
        return word->size() == sizeof(std::uint32_t);
    if (IsNoValue(errno))
        return false;
    return std::nullopt;
}

// Whether `source` is a device or an image file, as ntfs-3g and lowntfs-3g mount.
bool IsVolumeImage(const std::string& source) {
    struct stat st {};
    return stat(source.c_str(), &st) == 0 && (S_ISBLK(st.st_mode) || S_ISREG(st.st_mode));
}

// The name a user knows the volume's driver by. A FUSE volume that hands out NTFS's attributes
// is ntfs-3g when it mounts a device or an image under no name of its own; a view of a folder
// on NTFS (bindfs) passes them through, and is called what the mount table calls it.
std::string FileSystemName(StoreKind kind, long magic, const MountEntry& mount) {
    if (kind == StoreKind::Ntfs && magic == kFuse) {
        const std::size_t dot = mount.type.find('.');
        if (dot != std::string::npos)
            return mount.type.substr(dot + 1);
        if (IsVolumeImage(mount.source))
            return "ntfs-3g";
    }
    return mount.type.empty() ? "an unknown file system" : mount.type;
}

// A field of the mount table with its escapes ("\040" for a blank) undone.
std::string Unescaped(const std::string& field) {
    const auto isOctal = [&](std::size_t i) { return field[i] >= '0' && field[i] <= '7'; };
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) && isOctal(i + 2) &&
            isOctal(i + 3)) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

// True once after each change of this process's mount table: the kernel marks the open
// table for poll when anything is mounted or unmounted, and the poll clears the mark.
bool MountTableChanged() {
    static const TDescriptor table(open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC));
    pollfd watch{table.Get(), POLLPRI, 0};
    return table.Valid() && poll(&watch, 1, 0) > 0 && (watch.revents & (POLLPRI | POLLERR));
}

}  // namespace

StoreKind ChooseStore(long magic, bool answersNtfs) {
    switch (magic) {
        case kNtfs3:
        case kOldNtfs:
            return StoreKind::Ntfs;
        case kCifs:
        case kSmb2:
            return StoreKind::Cifs;
        case kMsdos:
            return StoreKind::Fat;
        case kExfat:
            return StoreKind::Exfat;
        case kFuse:
            return answersNtfs ? StoreKind::Ntfs : StoreKind::DosAttrib;
        default:
            return StoreKind::DosAttrib;
    }
}

VolumeStore VolumeStoreOf(const TFileRef& file, const struct statx& st) {
    // Asked for every file a run or a folder search meets: each volume is looked at once. A
    // unique mount id stands for one mount as long as the system runs, so what was learnt of
    // it never goes stale. A device number may stand for another volume after an unmount, so
    // what was learnt by device numbers is forgotten whenever the mount table changes, which
    // costs a poll per file: only for a kernel that gives no unique mount id.
    static std::mutex mutex;
    static std::map<std::uint64_t, VolumeStore> byMount;
    static std::map<std::uint64_t, VolumeStore> byDevice;
    const dev_t device = makedev(st.stx_dev_major, st.stx_dev_minor);
    const bool uniqueMount = (st.stx_mask & STATX_MNT_ID_UNIQUE) != 0;
    std::map<std::uint64_t, VolumeStore>& known = uniqueMount ? byMount : byDevice;
    const std::uint64_t key = uniqueMount ? st.stx_mnt_id : device;
    std::lock_guard lock(mutex);
    if (!uniqueMount && MountTableChanged())
        byDevice.clear();
    if (const auto found = known.find(key); found != known.end())
        return found->second;

    struct statfs fs {};
    if (!file.FileSystem(fs))
        return {StoreKind::DosAttrib, "an unknown file system"};
    const long magic = static_cast<long>(fs.f_type);
    const std::optional<bool> ntfs = magic == kFuse ? AnswersNtfs(file) : false;
    const StoreKind kind = ChooseStore(magic, ntfs.value_or(false));
    VolumeStore volume{kind, FileSystemName(kind, magic, MountOf(device))};
    if (ntfs)
        known.emplace(key, volume);
    return volume;
}

const TAttributeStore& StoreFor(const TFileRef& file, const struct statx& st) {
    return StoreOf(VolumeStoreOf(file, st).kind);
}

MountEntry MountOf(dev_t device) {
    std::ifstream mountinfo("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    for (std::string line; std::getline(mountinfo, line);) {
        std::istringstream fields(line);
        std::string id, parent, devNumbers;
        fields >> id >> parent >> devNumbers;
        if (devNumbers != wanted)
            continue;
        const std::size_t separator = line.find(" - ");
        if (separator == std::string::npos)
            continue;
        std::istringstream tail(line.substr(separator + 3));
        MountEntry mount;
        tail >> mount.type >> mount.source;
        mount.source = Unescaped(mount.source);
        return mount;
    }
    return {};
}

std::string TopFolderOf(const std::string& path, dev_t device) {
    std::string top = FolderOf(path);
    for (std::string up = FolderOf(top); top != "/"; top = up, up = FolderOf(top)) {
        struct stat st {};
        if (stat(up.c_str(), &st) != 0 || st.st_dev != device)
            break;
    }
    return top;
}

}  // namespace platform::linux_fs
