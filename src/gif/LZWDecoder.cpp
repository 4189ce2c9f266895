#include "gif/LZWDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "gif/GIFException.h"
#include "gif/RowOrder.h"

namespace gif {
namespace {

constexpr int kMaxCodes = 4096;
// A larger minimum code size puts the clear code at 4096 or beyond, outside the tables.
constexpr int kMaxMinCodeSize = 11;
constexpr int kEndOfData = -1;
constexpr int kEndCode = -2;
// Short strings are copied as one block of this many bytes; the bytes past the string are
// written over by the strings that follow.
constexpr std::size_t kCopyBlock = 16;

// Every byte value in order, with room for a block copy from the last one: the string of a
// literal code.
constexpr std::array<std::uint8_t, 256 + kCopyBlock> kLiteralBytes = [] {
    std::array<std::uint8_t, 256 + kCopyBlock> bytes{};
    for (std::size_t i = 0; i < 256; ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}();

class TLZWDecoder {
public:
    TLZWDecoder(TByteReader& in, int minCodeSize, const TGIFWarningHandler& warn)
        : in_(in),
          warn_(warn),
          minCodeSize_(minCodeSize),
          clearCode_(1 << minCodeSize),
          endCode_(clearCode_ + 1) {
        for (int code = 0; code < clearCode_; ++code) {
            suffix_[code] = static_cast<std::uint8_t>(code);
            stringLength_[code] = 1;
            stringStart_[code] = kLiteralBytes.data() + suffix_[code];
        }
        ResetTable();
    }

    // Decodes the next `count` values into `target`, in data order; false when the data ended
    // first, with the values not reached left at `fill`.
    bool Decode(std::uint8_t* const target, const std::size_t count, const std::uint8_t fill) {
        std::size_t position = 0;
        while (position < count) {
            const int code = NextCode();
            const std::size_t length = code >= 0 ? stringLength_[code] : 0;
            if (length != 0 && length <= count - position) {
                CopyString(code, target + position, count - position);
                position += length;
                continue;
            }
            // Codes with an unknown string, control codes and a string that does not fit
            // take the table walk through the output stack.
            if (code < 0 || DecodeCode(code, target + position) < 0) {
                // The last block copy may have reached past the string it copied.
                std::fill(target + position, target + std::min(count, position + kCopyBlock), fill);
                return false;
            }
            const std::size_t n = std::min(count - position, top_);
            for (std::size_t i = 0; i < n; ++i)
                target[position + i] = stack_[--top_];
            position += n;
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
                const int code = NextCode();
                if (code >= 0)
                    DecodeCode(code, nullptr);
            }
        }
        if (!terminatorSeen_)
            SkipRest();
    }

private:
    void ResetTable() {
        std::fill(prefix_.begin() + clearCode_, prefix_.end(), 0);
        std::fill(suffix_.begin() + clearCode_, suffix_.end(), 0);
        std::fill(stringLength_.begin() + clearCode_, stringLength_.end(), 0);
        width_ = minCodeSize_ + 1;
        widthLimit_ = 2 * clearCode_;
        nextCode_ = clearCode_ + 2;
        top_ = 0;
    }

    // The string of a code whose string is known to lie in the output (or to be a literal):
    // copied from there, and the table grows as for any other code.
    void CopyString(int code, std::uint8_t* here, std::size_t room) {
        const std::uint8_t* const source = stringStart_[code];
        const std::size_t length = stringLength_[code];
        if (length <= kCopyBlock && room >= kCopyBlock) {
            // A whole block through a local copy: the block may reach into the bytes being
            // written, but only beyond the string, where nothing is needed.
            std::array<std::uint8_t, kCopyBlock> block;
            std::memcpy(block.data(), source, kCopyBlock);
            std::memcpy(here, block.data(), kCopyBlock);
        } else {
            // A string ends before the output position it is used at.
            std::memcpy(here, source, length);
        }
        firstValue_ = source[0];
        AddEntry(here);
        oldCode_ = code;
    }

    // The entry at next code: the previous string and the first value of the current one,
    // which is where `here` lies. Its string lies in the output, right where the previous
    // string started, when that string was known; strings built on a code that has no entry
    // yet (damaged data) only have their table walk. `here` is null once the output is full.
    void AddEntry(const std::uint8_t* here) {
        if (nextCode_ >= kMaxCodes) {
            previous_ = here;
            return;
        }
        prefix_[nextCode_] = static_cast<std::uint16_t>(oldCode_);
        suffix_[nextCode_] = firstValue_;
        const std::uint16_t previousLength = stringLength_[oldCode_];
        stringLength_[nextCode_] = here != nullptr && previousLength != 0 && previous_ != nullptr
                                       ? static_cast<std::uint16_t>(previousLength + 1)
                                       : 0;
        stringStart_[nextCode_] = previous_;
        previous_ = here;
        ++nextCode_;
        if (nextCode_ >= widthLimit_ && widthLimit_ < kMaxCodes) {
            widthLimit_ *= 2;
            ++width_;
        }
    }

    // The very first code is a clear, without reading anything: the tables are set up before
    // any data, whether or not the data opens with a clear.
    int NextCode() {
        if (firstCall_) {
            firstCall_ = false;
            return clearCode_;
        }
        return ReadCode();
    }

    // Puts the values of the string of `code` on the stack, last value first; returns how
    // many, or kEndOfData / kEndCode. `here` is where the string's values go.
    int DecodeCode(int code, const std::uint8_t* here) {
        if (code == clearCode_)
            return AfterClear(here);
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
        AddEntry(here);
        oldCode_ = incoming;
        return static_cast<int>(top_);
    }

    int AfterClear(const std::uint8_t* here) {
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
        previous_ = here;
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
    // For a code whose string is known to lie in the output: where it starts there and its
    // length; length 0 marks a code without such a string. A start is set with its length,
    // and the stack is written before it is read: neither needs clearing for each image.
    std::array<const std::uint8_t*, kMaxCodes> stringStart_;
    std::array<std::uint16_t, kMaxCodes> stringLength_{};
    // Where the string of the last code went; null when it did not go to the output.
    const std::uint8_t* previous_ = nullptr;
    // Values of a string wait here, last pushed first out: one chain of at most kMaxCodes
    // entries and two more values.
    std::array<std::uint8_t, 2 * kMaxCodes> stack_;
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
    const std::size_t count = width * static_cast<std::size_t>(shape.height);
    std::vector<std::uint8_t> pixels(count, shape.fill);

    std::uint8_t minCodeSize = 0;
    if (!in.ReadByte(minCodeSize))
        return pixels;
    if (minCodeSize > kMaxMinCodeSize)
        throw GIFException(msg::kInvalidData);

    TLZWDecoder decoder(in, minCodeSize, warn);
    if (count > 0 && !shape.interlaced) {
        decoder.Decode(pixels.data(), count, shape.fill);
    } else if (count > 0) {
        // The decoder copies strings from its own earlier output, so it writes the values in
        // data order; the rows then go to their places.
        std::vector<std::uint8_t> values(count, shape.fill);
        decoder.Decode(values.data(), count, shape.fill);
        const std::uint8_t* row = values.data();
        ForEachRowRun(shape.height, true, [&](int y, std::size_t rows) {
            std::memcpy(pixels.data() + static_cast<std::size_t>(y) * width, row, rows * width);
            row += rows * width;
            return true;
        });
    }
    decoder.Finish();
    return pixels;
}

}  // namespace gif
