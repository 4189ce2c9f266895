// NTFS (ntfs-3g, lowntfs-3g, the kernel's ntfs3) and SMB shares mounted by the kernel's CIFS
// client hand out the very attribute word and creation time Windows reads, as extended
// attributes: a 4-byte attribute word and an 8-byte file time, both little endian.

#include <cerrno>

#include "platform/linux/AttributeStore.h"
#include "platform/linux/FileEntry.h"

namespace platform::linux_fs {
namespace {

// Where a SetInfo call reads 0 as "leave the attributes alone", Windows names a file without
// any attribute "normal".
constexpr std::uint32_t kAttrNormal = 0x80;

struct WindowsXattrNames {
    const char* attributes;
    const char* creationTime;
    // An SMB server takes a word of 0 as "no change"; "normal" clears every bit.
    bool normalForNone;
};

class TWindowsXattrStore : public TAttributeStore {
public:
    explicit TWindowsXattrStore(WindowsXattrNames names)
        : names_(names), places_{names.attributes, names.creationTime} {}

    std::string AttributesHome() const override { return names_.attributes; }
    std::string CreationTimeHome() const override { return names_.creationTime; }
    std::span<const char* const> StoredPlaces() const override { return places_; }

    StoreReading Read(const TFileRef& file, const std::string& /*name*/,
                      const struct statx& st) const override {
        const TXattrs xattrs = file.Xattrs();
        StoreReading reading;
        reading.attributes = ReadAttributes(file, {}, st);
        const std::optional<std::string> created = xattrs.Get(names_.creationTime);
        const std::optional<std::uint64_t> time =
            created ? DecodeLittleEndian(*created, sizeof(FileTime)) : std::nullopt;
        // The kernel's ntfs3 hands out no creation time of its own, only the birth time.
        reading.creationTime = time && *time != 0 ? time : BirthTime(st);
        return reading;
    }

    std::uint32_t ReadAttributes(const TFileRef& file, const std::string& /*name*/,
                                 const struct statx& /*st*/) const override {
        const std::optional<std::uint32_t> word = ReadWord(file.Xattrs());
        return word ? *word & ~kAttrNormal : 0;
    }

    bool SetAttributes(const TFileRef& file, const std::string& /*name*/,
                       const struct statx& /*st*/, std::uint32_t attributes,
                       std::string& reason) const override {
        const TXattrs xattrs = file.Xattrs();
        const std::optional<std::uint32_t> current = ReadWord(xattrs);
        if (!current) {
            return Fail(reason, std::string("cannot read ") + names_.attributes + ": " +
                                    SystemReason(errno));
        }
        std::uint32_t word = MergeAttributes(*current & ~kAttrNormal, attributes);
        if (word == (*current & ~kAttrNormal))
            return true;
        if (word == 0 && names_.normalForNone)
            word = kAttrNormal;
        return xattrs.Set(names_.attributes, EncodeLittleEndian(word, sizeof word)) ||
               Fail(reason, std::string("cannot store the attributes in ") + names_.attributes +
                                ": " + SystemReason(errno));
    }

    bool SetCreationTime(const TFileRef& file, FileTime creation,
                         std::string& reason) const override {
        return file.Xattrs().Set(names_.creationTime,
                                 EncodeLittleEndian(creation, sizeof creation)) ||
               Fail(reason, std::string("cannot store the creation time in ") +
                                names_.creationTime + ": " + SystemReason(errno));
    }

private:
    std::optional<std::uint32_t> ReadWord(const TXattrs& xattrs) const {
        const std::optional<std::string> value = xattrs.Get(names_.attributes);
        if (!value)
            return std::nullopt;
        const std::optional<std::uint64_t> word = DecodeLittleEndian(*value, sizeof(std::uint32_t));
        if (!word) {
            errno = EBADMSG;  // a word of another length: not one this program understands
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(*word);
    }

    WindowsXattrNames names_;
    const char* places_[2];
};

}  // namespace

const TAttributeStore& NtfsStore() {
    static const TWindowsXattrStore store({"system.ntfs_attrib", "system.ntfs_crtime", false});
    return store;
}

const TAttributeStore& CifsStore() {
    static const TWindowsXattrStore store({"user.cifs.dosattrib", "user.cifs.creationtime", true});
    return store;
}

}  // namespace platform::linux_fs
