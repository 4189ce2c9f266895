#pragma once
// Deleting to the recycle bin, so that what a user deletes can still be brought back.

#include <string>

#include "platform/Result.h"

namespace platform {

// Moves a file or folder to the user's trash; a failure, with the reason, leaves it where it is.
Result MoveToTrash(const std::string& path);

}  // namespace platform
