#pragma once
// Where a volume keeps the Windows attributes and the creation time of its files, and how they
// are read and changed there. Windows reads them from the volume itself (NTFS, FAT, an SMB
// share), so on such a volume a change must reach that very place; elsewhere they are kept in
// "user.DOSATTRIB", where Samba and Wine look. The store of a file is chosen by its volume
// (VolumeKind.h).

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/linux/FileRef.h"

namespace platform::linux_fs {

enum class StoreKind { DosAttrib, Ntfs, Cifs, Fat, Exfat };

inline constexpr std::uint32_t kChangeableBits = kChangeableAttributes;

// What a store shows of one file.
struct StoreReading {
    std::uint32_t attributes = 0;  // Windows bits as the volume holds them; the folder bit aside
    std::optional<FileTime> creationTime;
};

class TAttributeStore {
public:
    virtual ~TAttributeStore() = default;

    // Where the attributes and the creation time are kept, in words a user can look up.
    virtual std::string AttributesHome() const = 0;
    virtual std::string CreationTimeHome() const = 0;

    // `name` is the file's own name, `st` its statx (kStatxMask).
    virtual StoreReading Read(const TFileRef& file, const std::string& name,
                              const struct statx& st) const = 0;
    // The attributes alone, as Read has them; a store that keeps the creation time apart
    // leaves it unread, which spares a change of attributes a call per file.
    virtual std::uint32_t ReadAttributes(const TFileRef& file, const std::string& name,
                                         const struct statx& st) const {
        return Read(file, name, st).attributes;
    }
    // R, H, S and A become those of `attributes`; false with the reason when any of them could
    // not be stored, with nothing changed where the volume allows it.
    virtual bool SetAttributes(const TFileRef& file, const std::string& name,
                               const struct statx& st, std::uint32_t attributes,
                               std::string& reason) const = 0;
    // False with the reason when the volume cannot take it.
    virtual bool SetCreationTime(const TFileRef& file, FileTime creation,
                                 std::string& reason) const = 0;

    // Why SetAttributes would refuse `attributes` for what the file and its volume are, before
    // any write could fail; empty when nothing stands in its way. Only reads. A preview asks
    // this, and the store's SetAttributes refuses by the same rule.
    virtual std::string AttributesRefusal(const TFileRef& /*file*/, const std::string& /*name*/,
                                          const struct statx& /*st*/,
                                          std::uint32_t /*attributes*/) const {
        return {};
    }
    // The extended attributes the store keeps the attributes and the creation time in, whose
    // bytes a journal keeps as they are so that an undo can put back exactly what was there;
    // none where they are kept elsewhere (a FAT directory entry).
    // (A view of names the store keeps for its whole life: a journal asks for each file.)
    virtual std::span<const char* const> StoredPlaces() const { return {}; }
    // The same for any creation time SetCreationTime would be asked to store.
    virtual std::string CreationTimeRefusal(const TFileRef& /*file*/) const { return {}; }
};

const TAttributeStore& StoreOf(StoreKind kind);

// The stores, one object each, in the files named after them.
const TAttributeStore& DosAttribStore();
const TAttributeStore& NtfsStore();
const TAttributeStore& CifsStore();
const TAttributeStore& FatStore();
const TAttributeStore& ExfatStore();

// The attribute word of a volume after a change: R, H, S and A as asked, every other bit kept.
inline std::uint32_t MergeAttributes(std::uint32_t current, std::uint32_t asked) {
    return (current & ~kChangeableBits) | (asked & kChangeableBits);
}

// The little-endian forms of the NTFS and SMB values: a 4-byte attribute word and an 8-byte
// file time. Nullopt for a value of any other length.
std::string EncodeLittleEndian(std::uint64_t value, std::size_t size);
std::optional<std::uint64_t> DecodeLittleEndian(std::string_view bytes, std::size_t size);

// The birth time statx reports, where the file system keeps one.
std::optional<FileTime> BirthTime(const struct statx& st);

}  // namespace platform::linux_fs
