#pragma once
// The attribute removal of a file's pipeline, through the file's one handle.

#include "engine/RunOptions.h"
#include "platform/FileHandle.h"

namespace engine {

// Clears the attributes ticked for removal that the file has; a failure when the write failed.
platform::Result RemoveAttributes(platform::TFileHandle& file, const RunOptions& options);

}  // namespace engine
