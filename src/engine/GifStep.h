#pragma once
// The file side of GIF comment removal: the codec works on bytes; this reads them through the
// file's one handle and puts the verified result back crash-safely.

#include <string>

#include "gif/GIFDocument.h"
#include "platform/FileHandle.h"

namespace engine {

// Reads the GIF through its handle, takes its comments out and writes the verified bytes back
// in place of the old ones; a file without comments is only read, never written. Returns the
// reason of a failure, empty on success; the file is then as it was.
std::string RewriteWithoutComments(platform::TFileHandle& file, gif::TGIFDocument& image);

}  // namespace engine
