#pragma once
// The kind of volume a path lies on, with the values of Windows' drive types.

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

}  // namespace platform
