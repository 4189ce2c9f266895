#include "platform/linux/FileEntry.h"

#include <sys/sysmacros.h>

#include <cerrno>

namespace platform::linux_fs {
namespace {

// ParseDosAttrib of the value this thread parsed last, when `raw` is that value again. A run
// reads each file's value twice (to show the file, then to store its creation time beside its
// attributes), and the files of one folder mostly hold the same value.
std::optional<DosAttrib> ParseAgain(std::string_view raw) {
    thread_local std::string last;
    thread_local std::optional<DosAttrib> parsed;
    if (raw == last && !last.empty())
        return parsed;
    const std::optional<DosAttrib> fresh = ParseDosAttrib(raw);
    // Kept only once the copy was made: a failed allocation leaves the pair as it was.
    last.assign(raw);
    parsed = fresh;
    return fresh;
}

}  // namespace

StoredDosAttrib ReadStoredDosAttrib(const TXattrs& xattrs) {
    StoredDosAttrib stored;
    std::optional<std::string> raw = xattrs.Get(kDosAttribName);
    if (!raw) {
        // Absent, or where the file system keeps none: no bits are stored. Any other error
        // (no read permission, I/O) leaves the value unknown.
        if (!IsNoValue(errno)) {
            stored.present = true;
            stored.readable = false;
        }
        return stored;
    }
    stored.present = true;
    stored.raw = std::move(*raw);
    if (const std::optional<DosAttrib> parsed = ParseAgain(stored.raw)) {
        stored.value = *parsed;
    } else {
        stored.readable = false;
        stored.value = InferDosAttrib(stored.raw);
    }
    return stored;
}

bool WriteDosAttrib(const TXattrs& xattrs, const StoredDosAttrib& current,
                    const DosAttrib& wanted) {
    if (wanted.attributes == 0 && !wanted.creationTime) {
        if (!current.present)
            return true;
        return xattrs.Remove(kDosAttribName) || errno == ENODATA;
    }
    const std::string value = EncodeDosAttrib(wanted);
    // Writing the very bytes that are there would change nothing but the file's change time.
    if (current.present && current.readable && current.raw == value)
        return true;
    return xattrs.Set(kDosAttribName, value);
}

bool RestoreDosAttrib(const TXattrs& xattrs, const StoredDosAttrib& previous) {
    if (previous.present)
        return xattrs.Set(kDosAttribName, previous.raw);
    return xattrs.Remove(kDosAttribName) || errno == ENODATA;
}

bool IsDotName(const std::string& name) {
    return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

FileTime ToFileTime(const statx_timestamp& ts) {
    FileTime result = 0;
    UnixToFileTime(timespec{static_cast<time_t>(ts.tv_sec), static_cast<long>(ts.tv_nsec)}, result);
    return result;
}

EntryKind KindOf(mode_t mode) {
    if (S_ISREG(mode))
        return EntryKind::File;
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    if (S_ISLNK(mode))
        return EntryKind::SymbolicLink;
    return EntryKind::Special;
}

StoreReading DosAttribReading(const std::string& name, const struct statx& st,
                              const StoredDosAttrib& stored) {
    StoreReading reading;
    reading.attributes = stored.value.attributes & kChangeableBits;
    if ((st.stx_mode & kWriteBits) == 0)
        reading.attributes |= kAttrReadOnly;
    if (IsDotName(name))
        reading.attributes |= kAttrHidden;
    if ((st.stx_attributes_mask & STATX_ATTR_COMPRESSED) &&
        (st.stx_attributes & STATX_ATTR_COMPRESSED)) {
        reading.attributes |= kAttrCompressed;
    }
    reading.creationTime = stored.value.creationTime ? stored.value.creationTime : BirthTime(st);
    return reading;
}

FindData MakeFindData(const std::string& name, const struct statx& st,
                      const StoreReading& reading) {
    FindData data;
    data.name = name;
    data.kind = KindOf(st.stx_mode);
    data.attributes = ShownAttributes(reading.attributes, st);
    // A directory search reports no size for a folder.
    data.size = S_ISDIR(st.stx_mode) ? 0 : st.stx_size;
    data.lastWriteTime = ToFileTime(st.stx_mtime);
    data.lastAccessTime = ToFileTime(st.stx_atime);
    data.creationTime = reading.creationTime;
    data.device = makedev(st.stx_dev_major, st.stx_dev_minor);
    return data;
}

std::uint32_t ShownAttributes(std::uint32_t stored, const struct statx& st) {
    return (stored & ~kAttrDirectory) | (S_ISDIR(st.stx_mode) ? kAttrDirectory : 0);
}

}  // namespace platform::linux_fs
