#pragma once
// The check a rewrite passes before its bytes may replace a file: read back by our own reader,
// they must hold what was loaded.

#include <cstdint>
#include <span>

#include "gif/GIFDocument.h"

namespace gif {

// Reads `rewritten` and compares it with `loaded`: the logical screen, the colour tables, the
// number of images, every image's place, size and pixels, and every extension block. Each
// image's data is compared while it is decoded, against the pixels of `loaded`, so no second
// copy of any image is made (an interlaced image's rows are moved and put back meanwhile).
// GIFException "Verification of the rewritten GIF failed: " and what differs, or what the
// reader found wrong, otherwise.
void VerifyRewrite(TGIFDocument& loaded, std::span<const std::uint8_t> rewritten);

}  // namespace gif
