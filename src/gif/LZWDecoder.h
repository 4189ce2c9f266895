#pragma once
// The LZW decoder of GIF image data: turns the minimum code size byte and the data sub-blocks
// at the reader's position into one colour index per pixel, in natural row order.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gif/ByteReader.h"

namespace gif {

// Receives the warnings of a load; damage that can be stepped over is reported here only.
using TGIFWarningHandler = std::function<void(const std::string& message)>;

struct TImageShape {
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::uint8_t fill = 0;  // the value of every pixel the data does not reach
};

// Decodes one image's data. On return the reader stands behind the data's terminator, also
// when the data holds more values than the image has pixels. Damaged or short data leaves the
// rest of the pixels at the fill value; only a corrupt string table or a minimum code size the
// tables cannot hold raise a GIFException.
std::vector<std::uint8_t> DecodeImageData(TByteReader& in, const TImageShape& shape,
                                          const TGIFWarningHandler& warn);

}  // namespace gif
