#pragma once
// Which attribute store serves a file: chosen by the volume it lies on, from the file
// system's magic number and, for FUSE, from whether the volume answers as NTFS does.

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

#include "platform/linux/AttributeStore.h"
#include "platform/linux/FileRef.h"

namespace platform::linux_fs {

struct VolumeStore {
    StoreKind kind = StoreKind::DosAttrib;
    // In the mount table's words ("ext4", "ntfs3", "vfat"); "ntfs-3g" for NTFS through FUSE,
    // which mounts under no name of its own.
    std::string fileSystem;
};

// The store for a volume whose statfs magic is `magic`. `answersNtfs`: a file there hands out
// "system.ntfs_attrib", as ntfs-3g and lowntfs-3g do; asked only of FUSE volumes, since every
// FUSE file system shares one magic number.
StoreKind ChooseStore(long magic, bool answersNtfs);

// The store of `file`, whose statx is `st`. Chosen once per mount where `st` carries the unique
// mount id (kStatxMask asks for it); otherwise once per device number, and again after the
// mount table changed (a device number may then stand for another volume).
VolumeStore VolumeStoreOf(const TFileRef& file, const struct statx& st);

// The store itself.
const TAttributeStore& StoreFor(const TFileRef& file, const struct statx& st);

// One mount of the process's mount table: its file system type ("ext4", "fuseblk",
// "fuse.sshfs") and what it mounts (a device, an image file, a folder, a server's share).
struct MountEntry {
    std::string type;
    std::string source;
};

// The mount with this device number; empty fields when it is not there.
MountEntry MountOf(dev_t device);

// The top folder of the volume that holds `path`, whose device is `device`: the highest folder
// above it on that device.
std::string TopFolderOf(const std::string& path, dev_t device);

}  // namespace platform::linux_fs
