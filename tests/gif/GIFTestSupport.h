#pragma once
// Test material for the GIF subsystem: a byte-level GIF builder with its own, independent LZW
// encoder (so the reader is tested on data our writer did not make), a code packer for
// hand-made code streams, and giflib as an independent decoder.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "gif/GIFDocument.h"

namespace gif {
// Decoded pixels compared with plain bytes.
inline bool operator==(const TPixels& pixels, const std::vector<std::uint8_t>& bytes) {
    return std::equal(pixels.begin(), pixels.end(), bytes.begin(), bytes.end());
}
}  // namespace gif

namespace giftest {

using Bytes = std::vector<std::uint8_t>;

// How the reference encoder shapes its data.
struct LzwStyle {
    bool leadingClear = true;
    // Clear when the table is full; otherwise go on with 12-bit codes and a full table.
    bool clearWhenFull = true;
    std::size_t subBlockSize = 255;
};

// Values in data order (already interlaced when the image is) → the minimum code size byte,
// the sub-blocks and the terminator.
Bytes ReferenceLzw(const Bytes& values, int minCodeSize, const LzwStyle& style = {});

// Codes, each with its own width, packed least significant bit first into sub-blocks of
// `subBlockSize`, after the minimum code size byte and before the terminator.
Bytes PackCodes(int minCodeSize, const std::vector<std::pair<int, int>>& codes,
                std::size_t subBlockSize = 255);

// The rows of a natural-order image in the order interlaced data holds them.
Bytes InterlaceOrder(const Bytes& pixels, int width, int height);

struct TestImage {
    std::uint16_t left = 0;
    std::uint16_t top = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    Bytes pixels;         // natural row order
    int localColors = 0;  // 0: no local table
    bool interlaced = false;
};

class GifBuilder {
public:
    GifBuilder& Header(std::uint16_t width, std::uint16_t height, int globalColors,
                       const char* signature = "GIF89a");
    GifBuilder& Comment(const std::vector<std::string>& subBlocks);
    GifBuilder& GraphicControl(bool transparent, std::uint8_t transparentIndex,
                               std::uint16_t delay = 0);
    GifBuilder& Loop(std::uint16_t count);
    GifBuilder& Image(const TestImage& image, const LzwStyle& style = {});
    GifBuilder& Raw(const Bytes& bytes);
    GifBuilder& Trailer();
    const Bytes& Get() const { return bytes_; }

private:
    int globalColors_ = 0;
    Bytes bytes_;
};

// Distinct colours, `count` entries of 3 bytes.
Bytes ColorTable(int count);
Bytes RandomPixels(std::mt19937& random, std::size_t count, int colors);
// Pixels with long runs and repeats, which compress well and fill the string table slowly.
Bytes PatternPixels(std::size_t width, std::size_t height, int colors);

// One extension data sub-block as giflib reports it: the label with the first sub-block, 0
// with each further one.
struct ExtensionBlock {
    int function = 0;
    Bytes bytes;
    bool operator==(const ExtensionBlock&) const = default;
};

struct Frame {
    int width = 0;
    int height = 0;
    Bytes pixels;
    std::vector<ExtensionBlock> extensions;  // those before the image
};
// Every image as giflib decodes it; nullopt when giflib rejects the data.
std::optional<std::vector<Frame>> GiflibDecode(const Bytes& file);

// Our reader and writer on bytes in memory; warnings collected when `warnings` is given.
void Load(gif::TGIFDocument& image, const Bytes& file,
          std::vector<std::string>* warnings = nullptr);
Bytes Save(const gif::TGIFDocument& image);
// The message of the GIFException the call raises, or "" when it raises none.
template <class Fn>
std::string ErrorOf(Fn&& fn) {
    try {
        fn();
    } catch (const gif::GIFException& e) {
        return e.what();
    }
    return {};
}

Bytes ToBytes(const std::string& text);
Bytes Cat(Bytes first, const Bytes& second);
std::string ToString(const Bytes& bytes);

}  // namespace giftest
