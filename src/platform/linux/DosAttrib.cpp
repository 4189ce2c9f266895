#include "platform/linux/DosAttrib.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cstring>

namespace platform::linux_fs {
namespace {

constexpr std::uint32_t kValidAttrib = 0x01;
constexpr std::uint32_t kValidCreateTime = 0x10;
constexpr std::uint16_t kWrittenVersion = 3;

// A little-endian NDR reader; alignment is counted from the start of the whole value, as the
// blob is marshalled together with the hex text in front of it.
class NdrReader {
public:
    NdrReader(std::string_view data, std::size_t offset) : data_(data), offset_(offset) {}

    // `n` is a power of two.
    bool Align(std::size_t n) {
        offset_ = (offset_ + n - 1) & ~(n - 1);
        return offset_ <= data_.size();
    }
    bool U16(std::uint16_t& v) {
        std::uint64_t x;
        if (!Read(2, 2, x))
            return false;
        v = static_cast<std::uint16_t>(x);
        return true;
    }
    bool U32(std::uint32_t& v) {
        std::uint64_t x;
        if (!Read(4, 4, x))
            return false;
        v = static_cast<std::uint32_t>(x);
        return true;
    }
    // 8-byte fields of these records are aligned to 4 only.
    bool U64(std::uint64_t& v) { return Read(8, 4, v); }
    bool AtEnd() const { return offset_ == data_.size(); }
    bool Skip64(int count) {
        std::uint64_t ignored;
        for (int i = 0; i < count; ++i) {
            if (!U64(ignored))
                return false;
        }
        return true;
    }

private:
    bool Read(std::size_t size, std::size_t alignment, std::uint64_t& v) {
        if (!Align(alignment) || data_.size() - offset_ < size) {
            return false;
        }
        v = 0;
        for (std::size_t i = 0; i < size; ++i) {
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(data_[offset_ + i]))
                 << (8 * i);
        }
        offset_ += size;
        return true;
    }

    std::string_view data_;
    std::size_t offset_;
};

// Writes a value of at most 64 bytes, the longest this program writes, into a buffer of its
// own: one string is made of it at the end.
class NdrWriter {
public:
    void Text(std::string_view text) {
        assert(size_ + text.size() <= bytes_.size());
        std::memcpy(bytes_.data() + size_, text.data(), text.size());
        size_ += text.size();
    }
    void Align(std::size_t n) {
        assert((size_ + n - 1) / n * n <= bytes_.size());
        while (size_ % n != 0)
            bytes_[size_++] = '\0';
    }
    void U16(std::uint16_t v) { Write(v, 2, 2); }
    void U32(std::uint32_t v) { Write(v, 4, 4); }
    void U64(std::uint64_t v) { Write(v, 8, 4); }
    std::string Bytes() const { return std::string(bytes_.data(), size_); }

private:
    void Write(std::uint64_t v, std::size_t size, std::size_t alignment) {
        Align(alignment);
        assert(size_ + size <= bytes_.size());
        for (std::size_t i = 0; i < size; ++i)
            bytes_[size_++] = static_cast<char>(v >> (8 * i));
    }
    std::array<char, 64> bytes_{};
    std::size_t size_ = 0;
};

std::optional<std::uint32_t> ParseHexText(std::string_view text) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data() + 2, end, value, 16);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<FileTime> ValidCreationTime(std::uint64_t ntTime) {
    if (ntTime == 0 || ntTime == ~0ull) {
        return std::nullopt;
    }
    return ntTime;
}

// The record of each version; false when the blob is cut short or of an unknown version.
// `attribValid` tells whether the record carries the attribute bits at all.
bool ReadRecord(NdrReader& r, std::uint16_t version, DosAttrib& out, bool& attribValid) {
    std::uint32_t validFlags = kValidAttrib | kValidCreateTime;
    std::uint32_t attrib = 0;
    std::uint64_t createTime = 0;
    std::uint32_t ignored32;
    switch (version) {
        case 1:  // attrib, ea_size, size, alloc_size, create_time, change_time
            if (!r.U32(attrib) || !r.U32(ignored32) || !r.Skip64(2) || !r.U64(createTime) ||
                !r.Skip64(1)) {
                return false;
            }
            break;
        case 2:  // flags, attrib, ea_size, size, alloc_size, create_time, ...
            if (!r.U32(ignored32) || !r.U32(attrib) || !r.U32(ignored32) || !r.Skip64(2) ||
                !r.U64(createTime)) {
                return false;
            }
            break;
        case 3:  // valid_flags, attrib, ea_size, size, alloc_size, create_time, change_time
            if (!r.U32(validFlags) || !r.U32(attrib) || !r.U32(ignored32) || !r.Skip64(2) ||
                !r.U64(createTime) || !r.Skip64(1)) {
                return false;
            }
            break;
        case 4:  // valid_flags, attrib, itime, create_time
            if (!r.U32(validFlags) || !r.U32(attrib) || !r.Skip64(1) || !r.U64(createTime)) {
                return false;
            }
            break;
        case 5:  // valid_flags, attrib, create_time
            if (!r.U32(validFlags) || !r.U32(attrib) || !r.U64(createTime)) {
                return false;
            }
            break;
        default:
            return false;
    }
    attribValid = (validFlags & kValidAttrib) != 0;
    out.attributes = attribValid ? attrib : 0;
    out.creationTime =
        (validFlags & kValidCreateTime) ? ValidCreationTime(createTime) : std::nullopt;
    return true;
}

}  // namespace

std::optional<DosAttrib> ParseDosAttrib(std::string_view value) {
    const std::size_t nul = value.find('\0');
    const bool blobFollows = nul != std::string_view::npos && nul + 1 < value.size();
    // Samba writes no text before the blob from 4.17 on, only the NUL that ends it.
    const bool textless = nul == 0 && blobFollows;
    const std::optional<std::uint32_t> hex = ParseHexText(value.substr(0, nul));
    if (!hex && !textless)
        return std::nullopt;
    // Wine's form: the hex text alone, with or without its NUL.
    if (!blobFollows)
        return DosAttrib{*hex, std::nullopt};
    NdrReader reader(value, nul + 1);
    std::uint16_t version = 0;
    std::uint16_t level = 0;
    DosAttrib result;
    bool attribValid = false;
    if (!reader.U16(version) || !reader.U16(level) || level != version || !reader.Align(4) ||
        !ReadRecord(reader, version, result, attribValid) || !reader.AtEnd()) {
        return std::nullopt;
    }
    // Samba writes the same bits into the text and the record; where they differ, another
    // program has been at work, and which of the two it meant cannot be told.
    if (hex && attribValid && result.attributes != *hex)
        return std::nullopt;
    return result;
}

DosAttrib InferDosAttrib(std::string_view value) {
    const std::optional<std::uint32_t> hex = ParseHexText(value.substr(0, value.find('\0')));
    return DosAttrib{hex.value_or(0), std::nullopt};
}

std::string EncodeDosAttrib(const DosAttrib& attrib) {
    char text[16];
    auto [end, ec] = std::to_chars(text, text + sizeof text, attrib.attributes, 16);
    (void)ec;  // eight hex digits always fit
    NdrWriter w;
    w.Text("0x");
    w.Text(std::string_view(text, static_cast<std::size_t>(end - text)));
    w.Text(std::string_view("", 1));
    w.U16(kWrittenVersion);
    w.U16(kWrittenVersion);
    w.Align(4);
    w.U32(kValidAttrib | (attrib.creationTime ? kValidCreateTime : 0));
    w.U32(attrib.attributes);
    w.U32(0);  // ea_size
    w.U64(0);  // size
    w.U64(0);  // alloc_size
    w.U64(attrib.creationTime.value_or(0));
    w.U64(0);  // change_time
    return w.Bytes();
}

}  // namespace platform::linux_fs
