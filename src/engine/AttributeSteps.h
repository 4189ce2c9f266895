#pragma once
// The two attribute steps of a file's pipeline.

#include <cstdint>
#include <string>

#include "engine/RunOptions.h"

namespace engine {

// Clears the attributes ticked for removal that the file has. False when the write failed.
bool RemoveAttributes(const std::string& path, const RunOptions& options);

// The file's attributes become exactly `mask`. False when the write failed.
bool SetAttributes(const std::string& path, std::uint32_t mask);

}  // namespace engine
