#pragma once
// Comment removal, the GIF step of a run.

#include <string>

#include "gif/GIFDocument.h"

namespace gif {

// Loads the file at `path` into `image`, deletes every comment extension of every sub-image and
// writes the image back over the file. The new content is complete in memory before the file is
// touched, and a failed write puts the old bytes back. Every error reaches the caller as a
// GIFException; the file is then as it was.
void DeleteGIFComments(TGIFDocument& image, const std::string& path);

}  // namespace gif
