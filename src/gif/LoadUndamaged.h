#pragma once
// Loading for a rewrite: the reader steps over damage with a warning, and what it stepped over
// or filled in would be lost or made up in the new file.

#include <cstdint>
#include <span>

#include "gif/GIFDocument.h"

namespace gif {

// Loads `bytes` into `image`; any warning that means bytes were stepped over or pixels made up
// ends the load with a GIFException carrying the warning's text. Only an unknown block byte
// that is the file's last byte, and so hides nothing behind it, is let pass, as is a file that
// ends without its trailer after complete data. `imageData`, when set, takes each image's data
// in place of decoding it. The image's own handlers are left as they were.
void LoadUndamaged(TGIFDocument& image, std::span<const std::uint8_t> bytes,
                   TImageDataReader imageData = {});

}  // namespace gif
