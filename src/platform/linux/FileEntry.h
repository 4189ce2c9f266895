#pragma once
// What the program shows of one file on Linux: statx, and "user.DOSATTRIB" where a volume keeps
// no Windows attributes of its own. Shared by the look-ups by path, the operations of an open
// file and the attribute stores.

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/linux/AttributeStore.h"
#include "platform/linux/DosAttrib.h"
#include "platform/linux/Xattr.h"

namespace platform::linux_fs {

inline constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// What "user.DOSATTRIB" of a file holds, as raw bytes and as read.
struct StoredDosAttrib {
    // The file has the attribute, or may have it but it cannot be read.
    bool present = false;
    // Absent, or read whole and understood. A value that is not is never overwritten: it may
    // hold a creation time, or bits of another program, that would be lost.
    bool readable = true;
    // What the value says; of one that is not readable, what can still be inferred.
    DosAttrib value;
    std::string raw;
};

StoredDosAttrib ReadStoredDosAttrib(const TXattrs& xattrs);

// Puts "user.DOSATTRIB" into the state `wanted`, or removes it when nothing is left to keep.
bool WriteDosAttrib(const TXattrs& xattrs, const StoredDosAttrib& current, const DosAttrib& wanted);
// Puts back the value read before a change, byte for byte.
bool RestoreDosAttrib(const TXattrs& xattrs, const StoredDosAttrib& previous);

// A name beginning with "." is hidden on Linux whatever is stored.
bool IsDotName(const std::string& name);

FileTime ToFileTime(const statx_timestamp& ts);

// A mount id that the kernel (6.8 and later) never hands out twice while the system runs; older
// C library headers do not name it yet.
#ifndef STATX_MNT_ID_UNIQUE
#define STATX_MNT_ID_UNIQUE 0x00004000U
#endif

// The statx fields every look-up asks for. The unique mount id lets the volume of a file be
// known again without asking whether the mount table changed (VolumeStoreOf).
inline constexpr unsigned kStatxMask = STATX_BASIC_STATS | STATX_BTIME | STATX_MNT_ID_UNIQUE;

EntryKind KindOf(mode_t mode);

// What a file shows where "user.DOSATTRIB" keeps its attributes: read-only when no write bit
// is set or the stored value says so (Samba, by default, reads it from there), hidden,
// system and archive as stored, hidden for a dot name, compressed by the file's flag; the
// stored creation time, else the birth time.
StoreReading DosAttribReading(const std::string& name, const struct statx& st,
                              const StoredDosAttrib& stored);

// The entry as a directory search reports it, `name` being its own name.
FindData MakeFindData(const std::string& name, const struct statx& st, const StoreReading& reading);
// Its attributes alone: those its store holds, with the folder bit of its kind.
std::uint32_t ShownAttributes(std::uint32_t stored, const struct statx& st);

}  // namespace platform::linux_fs
