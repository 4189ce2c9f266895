#include "platform/linux/AttributeStore.h"

#include "platform/linux/FileEntry.h"

namespace platform::linux_fs {

const TAttributeStore& StoreOf(StoreKind kind) {
    switch (kind) {
        case StoreKind::Ntfs:
            return NtfsStore();
        case StoreKind::Cifs:
            return CifsStore();
        case StoreKind::Fat:
            return FatStore();
        case StoreKind::Exfat:
            return ExfatStore();
        case StoreKind::DosAttrib:
            break;
    }
    return DosAttribStore();
}

std::string EncodeLittleEndian(std::uint64_t value, std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

std::optional<std::uint64_t> DecodeLittleEndian(std::string_view bytes, std::size_t size) {
    if (bytes.size() != size)
        return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return value;
}

std::optional<FileTime> BirthTime(const struct statx& st) {
    if (!(st.stx_mask & STATX_BTIME) || st.stx_btime.tv_sec == 0)
        return std::nullopt;
    return ToFileTime(st.stx_btime);
}

}  // namespace platform::linux_fs
