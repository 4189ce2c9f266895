#pragma once
// Writing a GIF one image at a time: each image's pixels are decoded, encoded again, checked
// against the new data and let go before the next image is decoded, so a rewrite holds the
// pixels of one image, never those of the whole file.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "gif/ByteWriter.h"
#include "gif/GIFDocument.h"

namespace gif {

// The pixels of the `frame`-th image (counting only sub-images that have one, from 0), of the
// size `shape` gives, in natural row order.
using TFramePixels = std::function<TPixels(std::size_t frame, const TImageShape& shape)>;

// Writes one sub-image with `pixels` in place of its own, as TGIFSubImage::SaveWith does. The
// checks hold whatever writes: an encoder that gets an image wrong is caught, not trusted.
using TFrameWriter = std::function<std::optional<TWrittenData>(
    const TGIFSubImage&, TByteWriter&, std::span<const std::uint8_t> pixels, int largestBits)>;

// Writes `image` as SaveToStream would, taking each image's pixels from `pixelsOf` in turn in
// place of the sub-image's own, and checks every image's new data against them (VerifyFrame)
// before the next is asked for, then the whole once written (VerifyRewrite). Where each image's
// data went, in order. GIFException when a check fails.
std::vector<TWrittenData> SaveFrameByFrame(const TGIFDocument& image, const TFramePixels& pixelsOf,
                                           TByteWriter& out,
                                           const TFrameWriter& write = &TGIFSubImage::SaveWith);

}  // namespace gif
