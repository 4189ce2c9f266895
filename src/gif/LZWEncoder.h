#pragma once
// The LZW encoder of GIF image data and its string table. Code bytes go through a 255-byte
// sub-block buffer; the target receives whole sub-blocks.

#include <array>
#include <cstddef>
#include <cstdint>

#include "gif/ByteWriter.h"

namespace gif {

// The LZW string table: open addressing over 8009 slots. A slot holds the key (prefix code ×
// 256 + pixel, 20 bits) in its upper 20 bits and the code in its lower 12; all ones is empty.
class THashTable {
public:
    static constexpr std::size_t kSize = 8009;
    static constexpr int kNotFound = -1;

    THashTable() { Clear(); }
    void Clear() { slots_.fill(kEmpty); }

    void Insert(std::uint32_t key, int code) {
        std::size_t slot = Hash(key);
        while ((slots_[slot] >> 12) != kEmptyKey)
            slot = NextProbe(slot);
        slots_[slot] = (key << 12) | (static_cast<std::uint32_t>(code) & 0xFFF);
    }
    // Between two clears the table holds fewer than 4096 strings, so a search always meets an
    // empty slot.
    int Lookup(std::uint32_t key) const {
        for (std::size_t slot = Hash(key);; slot = NextProbe(slot)) {
            const std::uint32_t entry = slots_[slot];
            const std::uint32_t entryKey = entry >> 12;
            if (entryKey == key)
                return static_cast<int>(entry & 0xFFF);
            if (entryKey == kEmptyKey)
                return kNotFound;
        }
    }

    static std::size_t Hash(std::uint32_t key) { return (key ^ (key >> 4)) % kSize; }
    static std::size_t NextProbe(std::size_t slot) {
        return slot != 0 ? 2 * slot % kSize : kSize - 1;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    static constexpr std::uint32_t kEmptyKey = 0xFFFFF;

    std::array<std::uint32_t, kSize> slots_;
};

// Collects bytes into data sub-blocks: a count byte and up to 255 bytes; never an empty one.
class TGIFWriter {
public:
    explicit TGIFWriter(TByteWriter& target) : target_(target) {}

    void Put(std::uint8_t value) {
        buffer_[++fill_] = value;
        if (fill_ == kBlockSize)
            WriteBlock();
    }
    // Writes the partial block, if any.
    void Finish() {
        if (fill_ > 0)
            WriteBlock();
    }

private:
    static constexpr std::size_t kBlockSize = 255;

    void WriteBlock() {
        buffer_[0] = static_cast<std::uint8_t>(fill_);
        target_.Write(buffer_.data(), fill_ + 1);
        fill_ = 0;
    }

    TByteWriter& target_;
    std::array<std::uint8_t, kBlockSize + 1> buffer_{};
    std::size_t fill_ = 0;
};

// One image to encode; the pixels are width × height bytes in natural row order.
struct TEncoderSource {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    int bitsPerPixel = 0;
    // Every pixel must lie below it, else "Color not in color table".
    int colorCount = 0;
};

// Writes the minimum code size byte, the data sub-blocks and the zero terminator.
void EncodeImageData(TByteWriter& out, const TEncoderSource& source);

}  // namespace gif
