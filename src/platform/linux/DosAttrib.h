#pragma once
// The extended attribute "user.DOSATTRIB", where Samba and Wine keep the DOS attributes and
// the creation time that Linux itself cannot store.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileTime.h"

namespace platform::linux_fs {

inline constexpr const char* kDosAttribName = "user.DOSATTRIB";

struct DosAttrib {
    std::uint32_t attributes = 0;
    // Absent when none is stored, or when the stored one is zero or all ones.
    std::optional<FileTime> creationTime;
};

// Reads every form Samba and Wine write: the bare hex text "0x22" and the binary blob of
// versions 1 to 5 behind its hex text, or behind an empty text as Samba 4.17 and later write it.
// Nullopt when the value is not wholly one of them (a cut or padded blob, versions that disagree, a
// text that contradicts the blob, other bytes): such a value must not be overwritten, since what it
// holds cannot be written back.
std::optional<DosAttrib> ParseDosAttrib(std::string_view value);

// What a value that ParseDosAttrib refuses still tells: the bits of its hex text, as Samba
// falls back to; nothing when there is no such text.
DosAttrib InferDosAttrib(std::string_view value);

// The value to store: version 3 of the blob with the hex text in front, which Samba reads
// together with the creation time and Wine reads by its leading text.
std::string EncodeDosAttrib(const DosAttrib& attrib);

}  // namespace platform::linux_fs
