// The store of every volume that keeps no Windows attributes of its own (ext4, xfs, btrfs,
// tmpfs …): read-only in the write bits and, for Samba's clients, in "user.DOSATTRIB" as well;
// hidden, system, archive and a creation time set by the user in "user.DOSATTRIB" only.

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "platform/linux/AttributeStore.h"
#include "platform/linux/FileEntry.h"
#include "platform/linux/SignalsHeld.h"

namespace platform::linux_fs {
namespace {

constexpr const char* kUnreadableDosAttrib = "the stored DOS attributes cannot be read";
constexpr const char* kDotNameHidden = "a name beginning with \".\" is always hidden";

// The process's file mode creation mask, read without changing it (umask() would, racily).
mode_t ProcessUmask() {
    static const mode_t mask = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("Umask:", 0) == 0) {
                return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
            }
        }
        return static_cast<mode_t>(022);
    }();
    return mask;
}

// Read-only sets no write bit at all; clearing it gives back the owner's write bit, whatever
// the umask (the file would otherwise still show read-only), and, where the umask allows,
// write to those who may read, as Wine does for Windows programs.
mode_t ModeFor(mode_t mode, bool readOnly) {
    if (readOnly)
        return mode & ~kWriteBits;
    if ((mode & kWriteBits) != 0)
        return mode;
    return mode | S_IWUSR | ((S_IRUSR | ((mode & (S_IRGRP | S_IROTH)) >> 1)) & ~ProcessUmask());
}

// Writes `wanted`. A user attribute takes write permission (root aside), so the owner of a
// file without the owner's write bit lends it to themselves for that one call, with the
// signals that end the program held off until the mode is back: only kill -9 can leave the
// bit lent, and only in the moment between the two changes of mode. The system's error number
// of a failure; 0 when the value was written.
int WriteAsOwner(const TFileRef& file, const TXattrs& xattrs, const StoredDosAttrib& current,
                 const DosAttrib& wanted, mode_t mode) {
    if (WriteDosAttrib(xattrs, current, wanted))
        return 0;
    if (errno != EACCES || (mode & S_IWUSR))
        return errno;
    const TSignalsHeld held;
    if (!file.ChangeMode(mode | S_IWUSR))
        return EACCES;  // someone else's file: the refusal of the value is the reason
    const bool written = WriteDosAttrib(xattrs, current, wanted);
    const int error = written ? 0 : errno;
    if (!file.ChangeMode(mode))
        return errno;
    return error;
}

// Writes the attribute value `wanted` and sets `finalMode`; on failure both are as before.
// Write bits given back come before the value that clears read-only, and write bits taken
// away after the value that sets it, so that the file shows write bits only once it is no
// longer read-only, whenever the run is ended. The system's error number of a failure, with the
// reason; 0 when both were written.
int WriteAttributes(const TFileRef& file, const StoredDosAttrib& current, const DosAttrib& wanted,
                    mode_t mode, mode_t finalMode, std::string& reason) {
    const TXattrs xattrs = file.Xattrs();
    const mode_t writeMode = (mode & kWriteBits) ? mode : finalMode;
    if (writeMode != mode && !file.ChangeMode(writeMode)) {
        const int error = errno;
        reason = SystemReason(error);
        return error;
    }
    if (const int error = WriteAsOwner(file, xattrs, current, wanted, writeMode); error != 0) {
        reason = "cannot store the attributes: " + SystemReason(error);
        if (writeMode != mode)
            file.ChangeMode(mode);
        return error;
    }
    if (finalMode != writeMode && !file.ChangeMode(finalMode)) {
        const int error = errno;
        reason = SystemReason(error);
        RestoreDosAttrib(xattrs, current);
        file.ChangeMode(mode);
        return error;
    }
    return 0;
}

// What a change of the attributes to `attributes` would store, worked out from the stored value
// and the mode, or why it cannot be made.
struct AttributeChange {
    StoredDosAttrib current;
    DosAttrib wanted;
    bool attribChanges = false;
    bool readOnly = false;
    bool readOnlyChanges = false;
    std::string refusal;
};

AttributeChange ChangeOf(const StoredDosAttrib& current, mode_t mode, const std::string& name,
                         std::uint32_t attributes) {
    AttributeChange change;
    change.current = current;
    change.readOnly = (attributes & kAttrReadOnly) != 0;
    change.readOnlyChanges =
        change.readOnly != ((mode & kWriteBits) == 0 || (current.value.attributes & kAttrReadOnly));
    // Read-only shows in the mode or in the stored value; a change that leaves it as it is
    // leaves both as they are.
    std::uint32_t storedBits = attributes & kChangeableBits & ~kAttrReadOnly;
    storedBits |= change.readOnlyChanges ? attributes & kAttrReadOnly
                                         : current.value.attributes & kAttrReadOnly;
    // A dot name is hidden by itself; storing that bit again would only leave an attribute
    // behind on every such file.
    if (IsDotName(name) && !(current.value.attributes & kAttrHidden))
        storedBits &= ~kAttrHidden;
    change.wanted = current.value;
    change.wanted.attributes = (change.wanted.attributes & ~kChangeableBits) | storedBits;
    change.attribChanges = change.wanted.attributes != current.value.attributes;
    if (!current.readable) {
        // Read-only can still be set through the mode alone; every other change, clearing
        // a stored read-only too, would rewrite the value.
        const std::uint32_t differ = (storedBits ^ current.value.attributes) & kChangeableBits;
        if ((differ & ~kAttrReadOnly) != 0 || (differ & current.value.attributes) != 0)
            change.refusal = kUnreadableDosAttrib;
        change.attribChanges = false;
    }
    return change;
}

// A name beginning with "." shows hidden whatever is stored: a change without that bit sets
// the others and still fails, since the file stays hidden.
std::string DotNameRefusal(const std::string& name, std::uint32_t attributes) {
    return IsDotName(name) && !(attributes & kAttrHidden) ? kDotNameHidden : std::string();
}

// Where the store keeps the attributes and the creation time, for a journal to keep as it is.
constexpr const char* kPlaces[] = {kDosAttribName};

class TDosAttribStore : public TAttributeStore {
public:
    std::string AttributesHome() const override { return "the write bits and user.DOSATTRIB"; }
    std::string CreationTimeHome() const override { return "user.DOSATTRIB, else the birth time"; }
    std::span<const char* const> StoredPlaces() const override { return kPlaces; }

    StoreReading Read(const TFileRef& file, const std::string& name,
                      const struct statx& st) const override {
        return DosAttribReading(name, st, ReadStoredDosAttrib(file.Xattrs()));
    }

    bool SetAttributes(const TFileRef& file, const std::string& name, const struct statx& st,
                       std::uint32_t attributes, std::string& reason) const override {
        const mode_t mode = st.stx_mode & 07777;
        const AttributeChange change =
            ChangeOf(ReadStoredDosAttrib(file.Xattrs()), mode, name, attributes);
        if (!change.refusal.empty())
            return Fail(reason, change.refusal);
        bool attribChanges = change.attribChanges;
        const mode_t finalMode = change.readOnlyChanges ? ModeFor(mode, change.readOnly) : mode;
        const int error = attribChanges ? WriteAttributes(file, change.current, change.wanted, mode,
                                                          finalMode, reason)
                                        : 0;
        if (error != 0) {
            // A volume without user attributes (ramfs) keeps read-only in the mode alone.
            const bool onlyReadOnly =
                ((change.wanted.attributes ^ change.current.value.attributes) & ~kAttrReadOnly) ==
                0;
            if (!onlyReadOnly || (error != ENOTSUP && error != EOPNOTSUPP))
                return false;
            attribChanges = false;
        }
        if (!attribChanges && finalMode != mode && !file.ChangeMode(finalMode))
            return FailWithErrno(reason);
        // The other bits are set as asked; only the name could make the file visible again.
        const std::string dotName = DotNameRefusal(name, attributes);
        return dotName.empty() || Fail(reason, dotName);
    }

    std::string AttributesRefusal(const TFileRef& file, const std::string& name,
                                  const struct statx& st, std::uint32_t attributes) const override {
        const AttributeChange change =
            ChangeOf(ReadStoredDosAttrib(file.Xattrs()), st.stx_mode & 07777, name, attributes);
        return change.refusal.empty() ? DotNameRefusal(name, attributes) : change.refusal;
    }

    std::string CreationTimeRefusal(const TFileRef& file) const override {
        return ReadStoredDosAttrib(file.Xattrs()).readable ? std::string() : kUnreadableDosAttrib;
    }

    // Linux cannot change a birth time, so a creation time set by the user is stored with the
    // attributes.
    bool SetCreationTime(const TFileRef& file, FileTime creation,
                         std::string& reason) const override {
        const TXattrs xattrs = file.Xattrs();
        const StoredDosAttrib current = ReadStoredDosAttrib(xattrs);
        if (!current.readable)
            return Fail(reason, kUnreadableDosAttrib);
        DosAttrib wanted = current.value;
        wanted.creationTime = creation;
        return WriteDosAttrib(xattrs, current, wanted) ||
               Fail(reason, "cannot store the creation time: " + SystemReason(errno));
    }
};

}  // namespace

const TAttributeStore& DosAttribStore() {
    static const TDosAttribStore store;
    return store;
}

}  // namespace platform::linux_fs
