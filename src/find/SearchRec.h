#pragma once
// The record of one directory entry as a directory search reports it.

#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace vexfind {

// Attribute bits a directory search knows beyond those of the platform layer: a volume label
// (never present on Linux) and the set that asks for every kind of entry.
constexpr std::uint32_t kAttrVolumeLabel = 0x08;
constexpr std::uint32_t kAttrAnyFile = 0x3F;

struct TSearchRec {
    // The last write as a packed local DOS date (high word) and time; 0 when the DOS form
    // cannot hold it. Made when asked for: the list never asks, and for every find of a large
    // tree the local time would cost about as much as all the rest of its record.
    std::int32_t Time() const;
    std::int64_t Size = 0;  // 0 for folders
    std::uint32_t Attr = 0;
    std::string Name;             // without folder
    platform::FindData FindData;  // the look-up of the entry, links followed
    // The entry may be a symbolic link (FindData then describes its target); false only when
    // the folder listing said it is not one.
    bool MayBeLink = true;
};

// The record of `name` in `directory` from the platform's look-up.
TSearchRec MakeSearchRec(const std::string& name, platform::FindData data);

}  // namespace vexfind
