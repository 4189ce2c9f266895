#pragma once
// The file side of GIF comment removal: the codec works on bytes; this reads them through the
// file's one handle and puts the verified result back crash-safely.

#include "engine/StepOutcome.h"
#include "gif/GIFDocument.h"
#include "platform/FileHandle.h"

namespace engine {

// Reads the GIF through its handle, takes its comments out and writes the verified bytes back
// in place of the old ones; a file without comments is only read, never written. On a failure
// the file is as it was; an image too large to take on refuses only this file, every other
// failure is that of the GIF step.
StepOutcome RewriteWithoutComments(platform::TFileHandle& file, gif::TGIFDocument& image);

}  // namespace engine
