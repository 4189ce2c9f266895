#pragma once
// The growing byte buffer a GIF file is written into before any of it reaches the disk.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace gif {

class TByteWriter {
public:
    void Put(std::uint8_t value) { bytes_.push_back(value); }
    void PutU16(std::uint16_t value) {
        Put(static_cast<std::uint8_t>(value));
        Put(static_cast<std::uint8_t>(value >> 8));
    }
    void PutU32(std::uint32_t value) {
        PutU16(static_cast<std::uint16_t>(value));
        PutU16(static_cast<std::uint16_t>(value >> 16));
    }
    void Write(const std::uint8_t* data, std::size_t count) {
        bytes_.insert(bytes_.end(), data, data + count);
    }
    void Reserve(std::size_t count) { bytes_.reserve(count); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace gif
