#pragma once
// The two attribute steps of a file's pipeline, through the file's one handle.

#include <cstdint>
#include <string>

#include "engine/RunOptions.h"
#include "platform/FileHandle.h"

namespace engine {

// Clears the attributes ticked for removal that the file has. False with the reason when the
// write failed.
bool RemoveAttributes(platform::TFileHandle& file, const RunOptions& options, std::string& reason);

// The file's attributes become exactly `mask`. False with the reason when the write failed.
bool SetAttributes(platform::TFileHandle& file, std::uint32_t mask, std::string& reason);

}  // namespace engine
