#pragma once
// The file side of GIF comment removal: the codec works on bytes; this reads them through the
// file's one handle and puts the verified result back crash-safely.

#include <cstdint>
#include <vector>

#include "engine/StepOutcome.h"
#include "gif/GIFDocument.h"
#include "platform/FileHandle.h"

namespace engine {

// What the GIF step would do to a file: how many comment blocks it would take out, with the
// file's bytes for the rewrite, or the failure it would give.
struct GifPlan {
    StepOutcome outcome;
    int comments = 0;
    std::vector<std::uint8_t> bytes;
};

// Reads the GIF through its handle and counts its comments from the block structure alone, no
// image decoded: a file the rewrite would refuse for its blocks is refused here already.
GifPlan PlanGifStep(const platform::TFileHandle& file, gif::TGIFDocument& image);

// Takes the planned comments out and writes the verified bytes back in place of the old ones; a
// file without comments is never written. On a failure the file is as it was. `keepOldAs`: where
// the old content is kept for an undo (TFileHandle::ReplaceContent).
StepOutcome ApplyGifStep(platform::TFileHandle& file, gif::TGIFDocument& image, const GifPlan& plan,
                         const std::string& keepOldAs = {});

}  // namespace engine
