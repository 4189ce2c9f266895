#include "gif/LZW.h"

#include <algorithm>
#include <array>

#include "gif/GIFException.h"
#include "gif/RowOrder.h"

namespace gif {
namespace {

constexpr int kMaxCodes = 4096;
// A larger minimum code size puts the clear code at 4096 or beyond, outside the tables.
constexpr int kMaxMinCodeSize = 11;
constexpr int kEndOfData = -1;
constexpr int kEndCode = -2;

class TLZWDecoder {
public:
    TLZWDecoder(TByteReader& in, int minCodeSize, const TGIFWarningHandler& warn)
        : in_(in),
          warn_(warn),
          minCodeSize_(minCodeSize),
          clearCode_(1 << minCodeSize),
          endCode_(clearCode_ + 1) {
        ResetTable();
    }

    // Hands out the next `count` values into `target`; false when the data ended first.
    bool Fill(std::uint8_t* target, std::size_t count) {
        while (count > 0) {
            if (top_ == 0 && DecodeNext() < 0)
                return false;
            const std::size_t n = std::min<std::size_t>(count, top_);
            for (std::size_t i = 0; i < n; ++i)
                target[i] = stack_[--top_];
            target += n;
            count -= n;
        }
        return true;
    }

    // After the last pixel the end code normally follows; its step moves the reader behind the
    // terminator. Data that goes on past the image is skipped the same way, so the block after
    // the image is read where it starts.
    void Finish() {
        if (!endCodeMet_) {
            if (top_ > 0) {
                --top_;
            } else {
                DecodeNext();
            }
        }
        if (!terminatorSeen_)
            SkipRest();
    }

private:
    void ResetTable() {
        for (int code = 0; code < kMaxCodes; ++code) {
            prefix_[code] = 0;
            suffix_[code] = code < clearCode_ ? static_cast<std::uint8_t>(code) : 0;
        }
        width_ = minCodeSize_ + 1;
        widthLimit_ = 2 * clearCode_;
        nextCode_ = clearCode_ + 2;
        top_ = 0;
    }

    // Puts the values of the next string on the stack, last value first; returns how many, or
    // kEndOfData / kEndCode.
    int DecodeNext() {
        int code = kEndOfData;
        if (firstCall_) {
            // The tables are set up before any data, whether or not the data opens with a clear.
            firstCall_ = false;
            code = clearCode_;
        } else {
            code = ReadCode();
        }
        if (code < 0)
            return code;
        if (code == clearCode_)
            return AfterClear();
        if (code == endCode_)
            return EndCode();

        const int incoming = code;
        if (code >= nextCode_) {
            // The string being defined right now (or a code past it): its last value is the
            // first of the previous string.
            stack_[top_++] = firstValue_;
            code = oldCode_;
        }
        // No valid chain is longer than the table; a longer walk is a cycle of prefixes,
        // including an entry that names itself. Stopping here also keeps the stack in bounds.
        int steps = 0;
        while (code >= clearCode_) {
            if (++steps > kMaxCodes)
                throw GIFException(msg::kCircularEntry);
            stack_[top_++] = suffix_[code];
            code = prefix_[code];
        }
        firstValue_ = suffix_[code];
        stack_[top_++] = firstValue_;

        if (nextCode_ < kMaxCodes) {
            prefix_[nextCode_] = static_cast<std::uint16_t>(oldCode_);
            suffix_[nextCode_] = firstValue_;
            ++nextCode_;
            if (nextCode_ >= widthLimit_ && widthLimit_ < kMaxCodes) {
                widthLimit_ *= 2;
                ++width_;
            }
        }
        oldCode_ = incoming;
        return static_cast<int>(top_);
    }

    int AfterClear() {
        ResetTable();
        int code = ReadCode();
        while (code == clearCode_)
            code = ReadCode();
        if (code < 0)
            return code;
        // A clear followed by the end code is an image without data, not a pixel.
        if (code == endCode_)
            return EndCode();
        // Any other code counts as a literal here; only its low 8 bits reach the pixel.
        oldCode_ = code;
        firstValue_ = static_cast<std::uint8_t>(code);
        stack_[top_++] = firstValue_;
        return 1;
    }

    int EndCode() {
        endCodeMet_ = true;
        if (!terminatorSeen_)
            SkipRest();
        return kEndCode;
    }

    void SkipRest() {
        std::uint8_t size = 0;
        while (in_.ReadByte(size) && size != 0)
            in_.Skip(size);
        terminatorSeen_ = true;
    }

    // A code of the current width, least significant bit first; kEndOfData when the data has
    // run out. Sub-blocks are taken one at a time; the two bytes carried over hold the bits of
    // a code that spans two sub-blocks (at most 12 bits are ever left over).
    int ReadCode() {
        if (bitPosition_ + width_ > bitCount_ && !FillBits())
            return kEndOfData;
        const std::size_t byte = bitPosition_ >> 3;
        const std::uint32_t bits = static_cast<std::uint32_t>(buffer_[byte]) |
                                   (static_cast<std::uint32_t>(buffer_[byte + 1]) << 8) |
                                   (static_cast<std::uint32_t>(buffer_[byte + 2]) << 16);
        const int code = static_cast<int>((bits >> (bitPosition_ & 7)) & ((1u << width_) - 1));
        bitPosition_ += width_;
        return code;
    }

    // Takes sub-blocks until a whole code is there; false when the data has run out.
    [[gnu::noinline]] bool FillBits() {
        while (bitPosition_ + width_ > bitCount_) {
            if (done_) {
                Warn(msg::kBitBufferUnderrun);
                return false;
            }
            if (!Refill())
                return false;
        }
        return true;
    }

    bool Refill() {
        buffer_[0] = buffer_[length_ - 2];
        buffer_[1] = buffer_[length_ - 1];
        std::uint8_t size = 0;
        if (!in_.ReadByte(size))
            return false;
        if (size == 0) {
            done_ = true;
            terminatorSeen_ = true;
        } else if (size > in_.Remaining()) {
            Warn(msg::kPrematureEnd);
            size = static_cast<std::uint8_t>(in_.Remaining());
        }
        in_.Read(buffer_.data() + 2, size);
        length_ = size + 2u;
        bitPosition_ = bitPosition_ - bitCount_ + 16;
        bitCount_ = length_ * 8;
        return true;
    }

    void Warn(const char* message) const {
        if (warn_)
            warn_(message);
    }

    TByteReader& in_;
    const TGIFWarningHandler& warn_;
    const int minCodeSize_;
    const int clearCode_;
    const int endCode_;

    int width_ = 0;
    int widthLimit_ = 0;
    int nextCode_ = 0;
    int oldCode_ = 0;
    std::uint8_t firstValue_ = 0;
    std::array<std::uint16_t, kMaxCodes> prefix_{};
    std::array<std::uint8_t, kMaxCodes> suffix_{};
    // Values of a string wait here, last pushed first out: one chain of at most kMaxCodes
    // entries and two more values.
    std::array<std::uint8_t, 2 * kMaxCodes> stack_{};
    std::size_t top_ = 0;

    // Two carried bytes, a sub-block of up to 255, and slack so a code can always be fetched
    // as three whole bytes.
    std::array<std::uint8_t, 2 + 255 + 3> buffer_{};
    std::size_t length_ = 2;
    std::size_t bitPosition_ = 0;
    std::size_t bitCount_ = 0;

    bool firstCall_ = true;
    bool done_ = false;
    bool terminatorSeen_ = false;
    bool endCodeMet_ = false;
};

}  // namespace

std::vector<std::uint8_t> DecodeImageData(TByteReader& in, const TImageShape& shape,
                                          const TGIFWarningHandler& warn) {
    const std::size_t width = static_cast<std::size_t>(shape.width);
    std::vector<std::uint8_t> pixels(width * static_cast<std::size_t>(shape.height), shape.fill);

    std::uint8_t minCodeSize = 0;
    if (!in.ReadByte(minCodeSize))
        return pixels;
    if (minCodeSize > kMaxMinCodeSize)
        throw GIFException(msg::kInvalidData);

    TLZWDecoder decoder(in, minCodeSize, warn);
    if (!pixels.empty()) {
        ForEachRowRun(shape.height, shape.interlaced, [&](int y, std::size_t rows) {
            return decoder.Fill(pixels.data() + static_cast<std::size_t>(y) * width, rows * width);
        });
    }
    decoder.Finish();
    return pixels;
}

}  // namespace gif
