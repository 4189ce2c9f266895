#pragma once
// The LZW decoder of GIF image data: turns the minimum code size byte and the data sub-blocks
// at the reader's position into one colour index per pixel, in natural row order.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "gif/ByteReader.h"
#include "gif/Pixels.h"

namespace gif {

// Receives the warnings of a load; damage that can be stepped over is reported here only.
using TGIFWarningHandler = std::function<void(const std::string& message)>;

struct TImageShape {
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::uint8_t fill = 0;  // the value of every pixel the data does not reach

    bool operator==(const TImageShape&) const = default;
};

// The most pixels one image may have to be decoded (2^31, two gibibytes of colour indexes): a
// rewrite holds one image's pixels at a time, so this bounds what it holds. A 65535 x 65535
// image, the largest a GIF file can declare, needs twice as much.
inline constexpr std::size_t kMaxImagePixels = std::size_t{1} << 31;

// Decodes one image's data. On return the reader stands behind the data's terminator, also
// when the data holds more values than the image has pixels. Data that ends before the last
// pixel (cut off, or closed early by its end code) is reported with a warning, and the rest of
// the pixels get the fill value; only a corrupt string table or a minimum code size the tables
// cannot hold raise a GIFException. Storage grows with the data, never beyond what the data
// could decode to, before a warning has been given. An image of more than kMaxImagePixels
// pixels is refused with GIFImageTooLarge before anything is read or allocated.
TPixels DecodeImageData(TByteReader& in, const TImageShape& shape, const TGIFWarningHandler& warn);

// Throws GIFImageTooLarge for an image of more than kMaxImagePixels pixels, as DecodeImageData
// does, so that a caller can tell before reading the image data.
void CheckImageSize(const TImageShape& shape);

// True when the image data at the reader decodes to exactly `pixels` (natural row order; an
// interlaced image's rows are moved to data order and back while it is compared). Nothing of
// the image's size is allocated. The reader ends as after DecodeImageData when they match.
bool ImageDataMatches(TByteReader& in, const TImageShape& shape, std::span<std::uint8_t> pixels,
                      const TGIFWarningHandler& warn);

// Steps over one image's data without decoding it.
void SkipImageData(TByteReader& in);

}  // namespace gif
