#pragma once
// Deleting to the recycle bin, so that what a user deletes can still be brought back.

#include <string>

namespace platform {

// Moves a file or folder to the user's trash. False with the reason when it stays where it is.
bool MoveToTrash(const std::string& path, std::string& reason);

}  // namespace platform
