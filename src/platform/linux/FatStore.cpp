// FAT and exFAT keep the attribute byte and the creation time in the directory entry. The
// kernel's vfat and msdos drivers hand the attribute byte out through two ioctls; its exFAT
// driver hands out none, and neither lets a creation time be set.

#include <linux/msdos_fs.h>
#include <sys/ioctl.h>

#include "platform/linux/AttributeStore.h"
#include "platform/linux/FileEntry.h"

namespace platform::linux_fs {
namespace {

class TFatStore : public TAttributeStore {
public:
    std::string AttributesHome() const override { return "the FAT directory entry (ioctl)"; }
    std::string CreationTimeHome() const override {
        return "the FAT directory entry (read only on Linux)";
    }

    StoreReading Read(const TFileRef& file, const std::string& /*name*/,
                      const struct statx& st) const override {
        StoreReading reading;
        TDescriptor owned;
        std::uint32_t byte = 0;
        const int fd = file.IoctlDescriptor(owned);
        if (fd >= 0 && ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &byte) == 0) {
            reading.attributes = byte & ~static_cast<std::uint32_t>(ATTR_VOLUME);
        } else if ((st.stx_mode & kWriteBits) == 0) {
            // The driver shows read-only as the write bits; the rest is out of reach.
            reading.attributes = kAttrReadOnly;
        }
        reading.creationTime = BirthTime(st);
        return reading;
    }

    bool SetAttributes(const TFileRef& file, const std::string& /*name*/,
                       const struct statx& /*st*/, std::uint32_t attributes,
                       std::string& reason) const override {
        TDescriptor owned;
        std::uint32_t byte = 0;
        const int fd = file.IoctlDescriptor(owned);
        if (fd < 0 || ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &byte) != 0)
            return Fail(reason, "cannot read the FAT attributes: " + SystemReason(errno));
        std::uint32_t wanted = MergeAttributes(byte, attributes);
        if (wanted == byte)
            return true;
        return ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &wanted) == 0 ||
               Fail(reason, "cannot store the FAT attributes: " + SystemReason(errno));
    }

    bool SetCreationTime(const TFileRef& file, FileTime /*creation*/,
                         std::string& reason) const override {
        return Fail(reason, CreationTimeRefusal(file));
    }

    std::string CreationTimeRefusal(const TFileRef& /*file*/) const override {
        return "Linux cannot change the creation time of a file on a FAT volume";
    }
};

class TExfatStore : public TAttributeStore {
public:
    std::string AttributesHome() const override {
        return "the exFAT directory entry (read only on Linux)";
    }
    std::string CreationTimeHome() const override {
        return "the exFAT directory entry (read only on Linux)";
    }

    StoreReading Read(const TFileRef& /*file*/, const std::string& /*name*/,
                      const struct statx& st) const override {
        StoreReading reading;
        // The driver shows read-only as the write bits and nothing of the other bits.
        if ((st.stx_mode & kWriteBits) == 0)
            reading.attributes = kAttrReadOnly;
        reading.creationTime = BirthTime(st);
        return reading;
    }

    bool SetAttributes(const TFileRef& file, const std::string& name, const struct statx& st,
                       std::uint32_t attributes, std::string& reason) const override {
        const std::string refusal = AttributesRefusal(file, name, st, attributes);
        return refusal.empty() || Fail(reason, refusal);
    }

    bool SetCreationTime(const TFileRef& file, FileTime /*creation*/,
                         std::string& reason) const override {
        return Fail(reason, CreationTimeRefusal(file));
    }

    std::string AttributesRefusal(const TFileRef& file, const std::string& name,
                                  const struct statx& st, std::uint32_t attributes) const override {
        const std::uint32_t shown = Read(file, name, st).attributes;
        if ((shown & kChangeableBits) == (attributes & kChangeableBits))
            return {};
        return "Linux cannot change the attributes of a file on an exFAT volume";
    }

    std::string CreationTimeRefusal(const TFileRef& /*file*/) const override {
        return "Linux cannot change the creation time of a file on an exFAT volume";
    }
};

}  // namespace

const TAttributeStore& FatStore() {
    static const TFatStore store;
    return store;
}

const TAttributeStore& ExfatStore() {
    static const TExfatStore store;
    return store;
}

}  // namespace platform::linux_fs
