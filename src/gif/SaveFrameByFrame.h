#pragma once
// Writing a GIF one image at a time: each image's pixels are decoded, encoded again, checked
// against the new data and let go before the next image is decoded, so a rewrite holds the
// pixels of one image, never those of the whole file.

#include <cstddef>
#include <functional>
#include <vector>

#include "gif/ByteWriter.h"
#include "gif/GIFDocument.h"

namespace gif {

// The pixels of the `frame`-th image (counting only sub-images that have one, from 0), of the
// size `shape` gives, in natural row order.
using TFramePixels = std::function<TPixels(std::size_t frame, const TImageShape& shape)>;

// Writes `image` as SaveToStream would, taking each image's pixels from `pixelsOf` in turn in
// place of the sub-image's own, and checks every image's new data against them (VerifyFrame)
// before the next is asked for. Where each image's data went, in order, for VerifyRewrite.
std::vector<TWrittenData> SaveFrameByFrame(const TGIFDocument& image, const TFramePixels& pixelsOf,
                                           TByteWriter& out);

}  // namespace gif
