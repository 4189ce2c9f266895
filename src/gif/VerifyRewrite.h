#pragma once
// The check a rewrite passes before its bytes may replace a file: read back by our own reader,
// they must hold what was loaded. The pixels are checked image by image while they are written
// (VerifyFrame), the rest once the whole file is written (VerifyRewrite).

#include <cstddef>
#include <cstdint>
#include <span>

#include "gif/GIFDocument.h"

namespace gif {

// The `index`-th image's data as written (`data`, in `rewritten`) must decode to `pixels` and
// end where the writer ended it. `pixels` in natural row order; an interlaced image's rows are
// moved and put back meanwhile, and no other copy of the image is made. GIFException
// "Verification of the rewritten GIF failed: pixels of image N" (N = index + 1), or what the
// decoder found wrong, otherwise.
void VerifyFrame(std::span<const std::uint8_t> rewritten, const TWrittenData& data,
                 std::span<std::uint8_t> pixels, std::size_t index);

// Reads `rewritten` without decoding its images and compares it with `loaded`: the logical
// screen, the colour tables, the number of images, every image's place and size, and every
// extension block. Each image's data must lie where `written` says its pixels were checked
// (VerifyFrame) and be read with the same shape. GIFException "Verification of the rewritten
// GIF failed: " and what differs, or what the reader found wrong, otherwise.
void VerifyRewrite(const TGIFDocument& loaded, std::span<const std::uint8_t> rewritten,
                   std::span<const TWrittenData> written);

}  // namespace gif
