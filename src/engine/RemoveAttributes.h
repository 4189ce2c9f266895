#pragma once
// The attribute removal of a file's pipeline: which bits the options take away.

#include <cstdint>

#include "engine/RunOptions.h"

namespace engine {

// The attribute word `attributes` without the bits ticked for removal.
std::uint32_t RemovedAttributes(std::uint32_t attributes, const RunOptions& options);

}  // namespace engine
