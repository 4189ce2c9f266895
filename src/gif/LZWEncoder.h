#pragma once
// The LZW encoder of GIF image data and its string table. The encoder packs its codes into a
// plain byte buffer; the sub-block writer drains that buffer into 255-byte sub-blocks.

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gif/ByteWriter.h"

namespace gif {

// The remainder by `size` of the bits above the low byte of (key xor key >> 4), for every prefix
// code: those bits depend on the prefix code alone.
constexpr std::array<std::uint16_t, 4096> HighRemainders(std::uint32_t size) {
    std::array<std::uint16_t, 4096> remainders{};
    for (std::uint32_t prefix = 0; prefix < 4096; ++prefix) {
        const std::uint32_t high = ((prefix << 8) ^ (prefix << 4)) & ~0xFFu;
        remainders[prefix] = static_cast<std::uint16_t>(high % size);
    }
    return remainders;
}

// The LZW string table: open addressing over 8009 slots. A slot holds the key (prefix code ×
// 256 + pixel, 20 bits) in its upper 20 bits and the code in its lower 12; all ones is empty.
class THashTable {
public:
    static constexpr std::size_t kSize = 8009;
    static constexpr int kNotFound = -1;

    THashTable() { Clear(); }
    void Clear() { slots_.fill(kEmpty); }

    void Insert(std::uint32_t key, int code) { Store(Find(key).slot, key, code); }
    int Lookup(std::uint32_t key) const {
        const std::uint32_t entry = Find(key).entry;
        return IsEmpty(entry) ? kNotFound : CodeOf(entry);
    }

    // Where the walk for a key ends: the slot that holds the key, or the empty slot where it
    // belongs, and what that slot holds. One walk serves both the look-up and the insert that
    // follows a miss. Between two clears the table holds fewer than 4096 strings, so the walk
    // always meets an empty slot.
    struct TPlace {
        std::size_t slot;
        std::uint32_t entry;
    };
    TPlace Find(std::uint32_t key) const {
        std::size_t slot = Hash(key);
        while (true) {
            const std::uint32_t entry = slots_[slot];
            if ((entry >> 12) == key || IsEmpty(entry))
                return {slot, entry};
            slot = NextProbe(slot);
        }
    }
    void Store(std::size_t slot, std::uint32_t key, int code) {
        slots_[slot] = (key << 12) | (static_cast<std::uint32_t>(code) & 0xFFF);
    }

    static bool IsEmpty(std::uint32_t entry) { return (entry >> 12) == kEmptyKey; }
    static int CodeOf(std::uint32_t entry) { return static_cast<int>(entry & 0xFFF); }

    // (key xor key >> 4) mod kSize. Taken apart so that no division lies on the path from one
    // pixel's code to the next look-up: the bits above the low byte come from the prefix code,
    // whose remainder is looked up, and adding the low byte overshoots by at most one kSize.
    static std::size_t Hash(std::uint32_t key) {
        assert(key < (1u << 20));
        const std::uint32_t sum = kHighRemainders[key >> 8] + ((key ^ (key >> 4)) & 0xFF);
        return sum - (sum >= kSize ? kSize : 0);
    }
    // 2 × slot mod kSize, as one subtraction: the slot is below kSize.
    static std::size_t NextProbe(std::size_t slot) {
        const std::size_t doubled = 2 * slot;
        return slot != 0 ? doubled - (doubled >= kSize ? kSize : 0) : kSize - 1;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    static constexpr std::uint32_t kEmptyKey = 0xFFFFF;
    static constexpr std::array<std::uint16_t, 4096> kHighRemainders = HighRemainders(kSize);

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
