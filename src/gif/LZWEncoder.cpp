#include "gif/LZWEncoder.h"

#include <algorithm>
#include <cassert>
#include <memory>

#include "gif/GIFException.h"
#include "gif/RowOrder.h"

namespace gif {
namespace {

constexpr int kMaxWidth = 12;
// The decoder's width grows when its next code reaches 4096; stopping one short keeps both
// sides at 12 bits until the clear.
constexpr int kLastCode = 4095;

class TLZWEncoder {
public:
    TLZWEncoder(TByteWriter& out, int minCodeSize)
        : writer_(out),
          initialWidth_(minCodeSize + 1),
          width_(initialWidth_),
          largestCode_((1 << width_) - 1),
          clearCode_(1 << minCodeSize),
          endCode_(clearCode_ + 1),
          nextFree_(clearCode_ + 2) {}

    void Encode(const TEncoderSource& source) {
        if (source.width > 0 && source.height > 0)
            Compress(source);
        Output(endCode_);
        writer_.Finish();
    }

private:
    void Compress(const TEncoderSource& source) {
        Clear();
        const std::size_t width = static_cast<std::size_t>(source.width);
        const int colorCount = source.colorCount;
        int prefix = -1;
        ForEachRowRun(source.height, source.interlaced, [&](int y, std::size_t rows) {
            const std::uint8_t* pixel = source.pixels + static_cast<std::size_t>(y) * width;
            const std::uint8_t* const end = pixel + rows * width;
            if (prefix < 0)
                prefix = Checked(*pixel++, colorCount);
            for (; pixel != end; ++pixel) {
                const int value = Checked(*pixel, colorCount);
                const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | value;
                const int code = table_->Lookup(key);
                if (code != THashTable::kNotFound) {
                    prefix = code;
                    continue;
                }
                Output(prefix);
                prefix = value;
                if (nextFree_ < kLastCode) {
                    table_->Insert(key, nextFree_++);
                } else {
                    Clear();
                }
            }
            return true;
        });
        Output(prefix);
    }

    static int Checked(std::uint8_t value, int colorCount) {
        if (value >= colorCount)
            throw GIFException(msg::kColorNotInTable);
        return value;
    }

    void Clear() {
        clearPending_ = true;
        Output(clearCode_);
        table_->Clear();
        nextFree_ = clearCode_ + 2;
    }

    void Output(int code) {
        bitBuffer_ |= static_cast<std::uint32_t>(code) << bitCount_;
        bitCount_ += width_;
        while (bitCount_ >= 8) {
            writer_.Put(static_cast<std::uint8_t>(bitBuffer_));
            bitBuffer_ >>= 8;
            bitCount_ -= 8;
        }
        if (code == endCode_ && bitCount_ > 0) {
            writer_.Put(static_cast<std::uint8_t>(bitBuffer_));
            bitBuffer_ = 0;
            bitCount_ = 0;
        }
        // The width changes after the code written while the next free code already exceeds
        // the largest code, in step with the decoder.
        if (clearPending_) {
            width_ = initialWidth_;
            largestCode_ = (1 << width_) - 1;
            clearPending_ = false;
        } else if (nextFree_ > largestCode_) {
            ++width_;
            largestCode_ = width_ == kMaxWidth ? 4096 : (1 << width_) - 1;
        }
    }

    TGIFWriter writer_;
    // About 32 KB: kept off the stack.
    std::unique_ptr<THashTable> table_ = std::make_unique<THashTable>();
    const int initialWidth_;
    int width_;
    int largestCode_;
    const int clearCode_;
    const int endCode_;
    int nextFree_;
    std::uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;
    bool clearPending_ = false;
};

}  // namespace

void EncodeImageData(TByteWriter& out, const TEncoderSource& source) {
    assert(source.pixels != nullptr || source.width == 0 || source.height == 0);
    const int minCodeSize = std::max(2, source.bitsPerPixel);
    out.Put(static_cast<std::uint8_t>(minCodeSize));
    TLZWEncoder(out, minCodeSize).Encode(source);
    out.Put(0);
}

}  // namespace gif
