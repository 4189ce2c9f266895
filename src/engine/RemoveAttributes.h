#pragma once
// The attribute removal of a file's pipeline, through the file's one handle.

#include <cstdint>
#include <string>

#include "engine/RunOptions.h"
#include "platform/FileHandle.h"

namespace engine {

// Clears the attributes ticked for removal that the file has. False with the reason when the
// write failed.
bool RemoveAttributes(platform::TFileHandle& file, const RunOptions& options, std::string& reason);

}  // namespace engine
