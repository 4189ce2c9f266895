#include "gif/LZWDecoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>

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

enum class TSink { Write, Compare };

// Whether `length` values at `a` and `b` are equal. Most strings are a few values long: with
// `room` for a whole word at both places (`b` lies before `a`, or among the literals), they are
// compared as one word, the bytes past the string masked off, instead of by a library call.
inline bool SameValues(const std::uint8_t* a, const std::uint8_t* b, std::size_t length,
                       std::size_t room) {
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    if (std::endian::native == std::endian::little && length <= kWord && room >= kWord) {
        std::uint64_t wordA = 0;
        std::uint64_t wordB = 0;
        std::memcpy(&wordA, a, kWord);
        std::memcpy(&wordB, b, kWord);
        return ((wordA ^ wordB) & (~std::uint64_t{0} >> (8 * (kWord - length)))) == 0;
    }
    return std::memcmp(a, b, length) == 0;
}

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

    // Writes the next values, in data order, to `target` (TSink::Write), or checks them against
    // the values already there (TSink::Compare). Returns how many were written or matched: fewer
    // than `count` when the data ends first or, when comparing, at the first value that differs.
    template <TSink kSink>
    std::size_t Decode(std::uint8_t* const target, const std::size_t count) {
        std::size_t position = 0;
        while (position < count) {
            const int code = NextCode();
            const std::size_t length = code >= 0 ? stringLength_[code] : 0;
            if (length != 0 && length <= count - position) {
                if (!TakeString<kSink>(code, target + position, count - position))
                    return position;
                position += length;
                continue;
            }
            // Codes with an unknown string, control codes and a string that does not fit
            // take the table walk through the output stack.
            if (code < 0 || DecodeCode(code, target + position) < 0)
                return position;
            const std::size_t n = std::min(count - position, top_);
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint8_t value = stack_[--top_];
                if constexpr (kSink == TSink::Write) {
                    target[position + i] = value;
                } else if (target[position + i] != value) {
                    return position + i;
                }
            }
            position += n;
        }
        return position;
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

    // Data that stops before the last pixel leaves pixels the file does not hold; say so when
    // the bit reader has not said it already (a cut at a sub-block boundary, an early end code).
    void ReportShortData() {
        if (!warned_)
            Warn(msg::kPrematureEnd);
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
    // copied from there, or compared with what is there, and the table grows as for any other
    // code. When comparing, every earlier value has matched, so the output the string is taken
    // from holds what decoding would have written. False when a value differs.
    template <TSink kSink>
    bool TakeString(int code, std::uint8_t* here, std::size_t room) {
        const std::uint8_t* const source = stringStart_[code];
        const std::size_t length = stringLength_[code];
        if constexpr (kSink == TSink::Compare) {
            if (!SameValues(here, source, length, room))
                return false;
        } else if (length <= kCopyBlock && room >= kCopyBlock) {
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
        return true;
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

    void Warn(const char* message) {
        warned_ = true;
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
    bool warned_ = false;
};

// The bytes of image data in the sub-blocks at the reader, which is left where it was.
std::size_t DataLength(TByteReader& in) {
    const std::size_t start = in.Position();
    std::size_t length = 0;
    std::uint8_t size = 0;
    while (in.ReadByte(size) && size != 0) {
        length += std::min<std::size_t>(size, in.Remaining());
        in.Skip(size);
    }
    in.Seek(start);
    return length;
}

// The most values `dataBytes` of image data can decode to. A code is at least minimum code
// size + 1 bits wide, and the k-th code after a clear stands for at most k values (each code
// adds one value to the longest string before it), never more than the table has entries.
std::size_t MaxValues(std::size_t dataBytes, int minCodeSize) {
    const std::size_t codes = dataBytes * 8 / static_cast<std::size_t>(minCodeSize + 1);
    constexpr auto kLongest = static_cast<std::size_t>(kMaxCodes);
    if (codes <= kLongest)
        return codes * (codes + 1) / 2;
    return kLongest * (kLongest + 1) / 2 + (codes - kLongest) * kLongest;
}

std::size_t PixelCount(const TImageShape& shape) {
    return static_cast<std::size_t>(shape.width) * static_cast<std::size_t>(shape.height);
}

// The minimum code size byte; false at the end of the data.
bool ReadMinCodeSize(TByteReader& in, std::uint8_t& minCodeSize) {
    if (!in.ReadByte(minCodeSize))
        return false;
    if (minCodeSize > kMaxMinCodeSize)
        throw GIFException(msg::kInvalidData);
    return true;
}

}  // namespace

void CheckImageSize(const TImageShape& shape) {
    if (PixelCount(shape) > kMaxImagePixels) {
        throw GIFImageTooLarge("Image too large: " + std::to_string(shape.width) + " x " +
                               std::to_string(shape.height) + " pixels (at most " +
                               std::to_string(kMaxImagePixels) + " per image)");
    }
}

TPixels DecodeImageData(TByteReader& in, const TImageShape& shape, const TGIFWarningHandler& warn) {
    CheckImageSize(shape);
    const std::size_t count = PixelCount(shape);
    std::uint8_t minCodeSize = 0;
    if (!ReadMinCodeSize(in, minCodeSize)) {
        // Cut off before the data: every pixel would be made up.
        if (count > 0 && warn)
            warn(msg::kPrematureEnd);
        return TPixels(count, shape.fill);
    }
    TLZWDecoder decoder(in, minCodeSize, warn);
    // The decoder copies strings from its own earlier output, so it writes the values in data
    // order, interlaced or not.
    TPixels pixels(std::min(count, MaxValues(DataLength(in), minCodeSize)));
    const std::size_t decoded = decoder.Decode<TSink::Write>(pixels.data(), pixels.size());
    decoder.Finish();
    if (decoded < count) {
        decoder.ReportShortData();
        pixels.resize(count);
        std::fill(pixels.begin() + static_cast<std::ptrdiff_t>(decoded), pixels.end(), shape.fill);
    }
    if (shape.interlaced)
        ReorderInterlacedRows(pixels.data(), shape.width, shape.height, TRowOrder::Natural);
    return pixels;
}

bool ImageDataMatches(TByteReader& in, const TImageShape& shape, std::span<std::uint8_t> pixels,
                      const TGIFWarningHandler& warn) {
    const std::size_t count = PixelCount(shape);
    std::uint8_t minCodeSize = 0;
    if (pixels.size() != count || !ReadMinCodeSize(in, minCodeSize))
        return false;
    // The rows go back to their places however the comparison ends.
    struct TRowsInDataOrder {
        std::span<std::uint8_t> pixels;
        const TImageShape& shape;
        TRowsInDataOrder(std::span<std::uint8_t> p, const TImageShape& s) : pixels(p), shape(s) {
            Reorder(TRowOrder::Data);
        }
        ~TRowsInDataOrder() { Reorder(TRowOrder::Natural); }
        void Reorder(TRowOrder to) const {
            if (shape.interlaced)
                ReorderInterlacedRows(pixels.data(), shape.width, shape.height, to);
        }
    } const dataOrder(pixels, shape);
    TLZWDecoder decoder(in, minCodeSize, warn);
    if (decoder.Decode<TSink::Compare>(pixels.data(), count) != count)
        return false;
    decoder.Finish();
    return true;
}

void SkipImageData(TByteReader& in) {
    std::uint8_t size = 0;
    if (!in.ReadByte(size))
        return;
    while (in.ReadByte(size) && size != 0)
        in.Skip(size);
}

}  // namespace gif
