#pragma once
// A read position over a file held whole in memory. The reader and the LZW decoder take their
// bytes from it; nothing reads past its end, short reads are reported to the caller.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "gif/GIFException.h"

namespace gif {

class TByteReader {
public:
    explicit TByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t Position() const { return position_; }
    std::size_t Size() const { return data_.size(); }
    std::size_t Remaining() const { return data_.size() - position_; }
    bool AtEnd() const { return position_ >= data_.size(); }

    void Seek(std::size_t position) { position_ = std::min(position, data_.size()); }
    void StepBack() {
        if (position_ > 0)
            --position_;
    }
    // Moves forward by up to `count` bytes; a skip past the end stops at the end.
    void Skip(std::size_t count) { position_ += std::min(count, Remaining()); }

    // False at the end of the data.
    bool ReadByte(std::uint8_t& value) {
        if (AtEnd())
            return false;
        value = data_[position_++];
        return true;
    }

    // Copies up to `count` bytes and returns how many arrived.
    std::size_t Read(std::uint8_t* target, std::size_t count) {
        const std::size_t n = std::min(count, Remaining());
        if (n > 0)
            std::memcpy(target, data_.data() + position_, n);
        position_ += n;
        return n;
    }

    // Exactly `count` bytes, or "Premature end of data".
    void ReadExact(std::uint8_t* target, std::size_t count) {
        if (Read(target, count) != count)
            throw GIFException(msg::kPrematureEnd);
    }
    std::uint8_t ReadExactByte() {
        std::uint8_t value = 0;
        ReadExact(&value, 1);
        return value;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};

// Little-endian fields of the GIF format.
inline std::uint16_t GetU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace gif
