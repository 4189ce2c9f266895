#pragma once
// The kind of volume a path lies on, with the values of Windows' drive types.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class DriveType {
    Unknown = 0,
    NoRootDir = 1,  // the path does not exist
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

DriveType GetDriveType(const std::string& path);
// The same for a path that a look-up found on `device` (FindData::device): each volume is
// classified once, so only the first path of a volume costs a question to the system.
DriveType GetDriveType(const std::string& path, std::uint64_t device);

// Whether the volume of `path` answers each call from another process or machine (a FUSE file
// system, a network share): there a look-up waits on the answer rather than on the processors,
// so several may be asked at once.
bool AnswersOverARoundTrip(const std::string& path);

// Where the attributes and the creation time of a file are kept, in words a user can look up,
// so that one can see why a change does or does not reach Windows.
struct AttributeHome {
    std::string fileSystem;    // "ntfs-3g", "ntfs3", "cifs", "vfat", "ext4" …
    std::string attributes;    // "system.ntfs_attrib", "the write bits and user.DOSATTRIB" …
    std::string creationTime;  // "system.ntfs_crtime" …
};

// Nullopt when the path cannot be looked up; a link stands for its target.
std::optional<AttributeHome> FindAttributeHome(const std::string& path);

}  // namespace platform
