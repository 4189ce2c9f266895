#pragma once
// The LZW encoder of GIF image data and its string table. The encoder packs its codes into a
// plain byte buffer; the sub-block writer drains that buffer into 255-byte sub-blocks.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

    void Insert(std::uint32_t key, int code) { Store(SlotOf(key), key, code); }
    int Lookup(std::uint32_t key) const {
        const std::size_t slot = SlotOf(key);
        return Holds(slot) ? CodeAt(slot) : kNotFound;
    }

    // The slot that holds `key`, or the empty slot where it belongs: one walk serves both the
    // look-up and the insert that follows a miss. Between two clears the table holds fewer
    // than 4096 strings, so the walk always meets an empty slot.
    std::size_t SlotOf(std::uint32_t key) const {
        std::size_t slot = Hash(key);
        while (true) {
            const std::uint32_t entryKey = slots_[slot] >> 12;
            if (entryKey == key || entryKey == kEmptyKey)
                return slot;
            slot = NextProbe(slot);
        }
    }
    bool Holds(std::size_t slot) const { return (slots_[slot] >> 12) != kEmptyKey; }
    int CodeAt(std::size_t slot) const { return static_cast<int>(slots_[slot] & 0xFFF); }
    void Store(std::size_t slot, std::uint32_t key, int code) {
        slots_[slot] = (key << 12) | (static_cast<std::uint32_t>(code) & 0xFFF);
    }

    // 32-bit arithmetic: keys have 20 bits, and a 32-bit remainder is cheaper on the hot path.
    static std::size_t Hash(std::uint32_t key) {
        return (key ^ (key >> 4)) % static_cast<std::uint32_t>(kSize);
    }
    static std::size_t NextProbe(std::size_t slot) {
        return slot != 0 ? 2 * slot % kSize : kSize - 1;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    static constexpr std::uint32_t kEmptyKey = 0xFFFFF;

    std::array<std::uint32_t, kSize> slots_;
};

// Cuts bytes into data sub-blocks: a count byte and up to 255 bytes; never an empty one.
class TGIFWriter {
public:
    explicit TGIFWriter(TByteWriter& target) : target_(target) {}

    void Write(const std::uint8_t* data, std::size_t count) {
        while (count > 0) {
            const std::size_t n = std::min(count, kBlockSize - fill_);
            std::memcpy(buffer_.data() + 1 + fill_, data, n);
            fill_ += n;
            data += n;
            count -= n;
            if (fill_ == kBlockSize)
                WriteBlock();
        }
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
