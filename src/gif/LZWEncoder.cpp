#include "gif/LZWEncoder.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <vector>

#include "gif/GIFException.h"
#include "gif/RowOrder.h"

namespace gif {
namespace {

constexpr int kMaxWidth = 12;
// The decoder's width grows when its next code reaches 4096; stopping one short keeps both
// sides at 12 bits until the clear.
constexpr int kLastCode = 4095;

// Packs codes least significant bit first into a byte buffer that is sized for the worst case
// up front: one code per pixel, a clear code every few thousand, three codes more.
class TCodePacker {
public:
    explicit TCodePacker(std::size_t pixelCount)
        : bytes_((pixelCount + pixelCount / 2048 + 4) * kMaxWidth / 8 + 8) {}

    void Put(int code, int width) {
        bits_ |= static_cast<std::uint64_t>(code) << count_;
        count_ += width;
        if (count_ >= 32) {
            const auto word = static_cast<std::uint32_t>(bits_);
            for (int i = 0; i < 4; ++i)
                bytes_[size_++] = static_cast<std::uint8_t>(word >> (8 * i));
            bits_ >>= 32;
            count_ -= 32;
        }
    }
    // The pending bits, the last byte filled up with zero bits.
    void Flush() {
        for (; count_ > 0; count_ -= 8) {
            bytes_[size_++] = static_cast<std::uint8_t>(bits_);
            bits_ >>= 8;
        }
        count_ = 0;
    }
    const std::uint8_t* Data() const { return bytes_.data(); }
    std::size_t Size() const { return size_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t size_ = 0;
    std::uint64_t bits_ = 0;
    int count_ = 0;
};

int Checked(std::uint8_t value, int colorCount) {
    if (value >= colorCount)
        throw GIFException(msg::kColorNotInTable);
    return value;
}

// The LZW string of codes for one image: a clear first and whenever the table is full, the
// width grown after the code that was written while the next free code already exceeded the
// largest code of the width, in step with the decoder.
void Compress(const TEncoderSource& source, int minCodeSize, TCodePacker& packer) {
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    const int initialWidth = minCodeSize + 1;
    int width = initialWidth;
    int largestCode = (1 << width) - 1;
    int nextFree = clearCode + 2;
    const auto table = std::make_unique<THashTable>();  // about 32 KB: kept off the stack

    const auto output = [&](int code) {
        packer.Put(code, width);
        if (nextFree > largestCode) {
            ++width;
            largestCode = width == kMaxWidth ? 4096 : (1 << width) - 1;
        }
    };
    const auto clear = [&] {
        packer.Put(clearCode, width);
        width = initialWidth;
        largestCode = (1 << width) - 1;
        table->Clear();
        nextFree = clearCode + 2;
    };

    clear();
    const std::size_t rowWidth = static_cast<std::size_t>(source.width);
    const int colorCount = source.colorCount;
    int prefix = -1;
    ForEachRowRun(source.height, source.interlaced, [&](int y, std::size_t rows) {
        const std::uint8_t* pixel = source.pixels + static_cast<std::size_t>(y) * rowWidth;
        const std::uint8_t* const end = pixel + rows * rowWidth;
        if (prefix < 0)
            prefix = Checked(*pixel++, colorCount);
        for (; pixel != end; ++pixel) {
            const int value = Checked(*pixel, colorCount);
            const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | value;
            const std::size_t slot = table->SlotOf(key);
            if (table->Holds(slot)) {
                prefix = table->CodeAt(slot);
                continue;
            }
            output(prefix);
            prefix = value;
            if (nextFree < kLastCode) {
                table->Store(slot, key, nextFree++);
            } else {
                clear();
            }
        }
        return true;
    });
    output(prefix);
    packer.Put(endCode, width);
}

}  // namespace

void EncodeImageData(TByteWriter& out, const TEncoderSource& source) {
    assert(source.pixels != nullptr || source.width == 0 || source.height == 0);
    const int minCodeSize = std::max(2, source.bitsPerPixel);
    out.Put(static_cast<std::uint8_t>(minCodeSize));

    const std::size_t pixelCount =
        static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height);
    TCodePacker packer(pixelCount);
    if (pixelCount > 0) {
        Compress(source, minCodeSize, packer);
    } else {
        packer.Put((1 << minCodeSize) + 1, minCodeSize + 1);
    }
    packer.Flush();

    TGIFWriter writer(out);
    writer.Write(packer.Data(), packer.Size());
    writer.Finish();
    out.Put(0);
}

}  // namespace gif
