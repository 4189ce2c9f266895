#pragma once
// The one rename of the Linux backend that never replaces another file.

#include <string>

namespace platform::linux_fs {

// Renames `from` to `to` unless `to` is taken. 0 when renamed, else the error number; EEXIST
// when the new name is taken.
int RenameNoReplace(const std::string& from, const std::string& to);
// The same for names relative to folders held open.
int RenameNoReplaceAt(int fromFolder, const std::string& from, int toFolder, const std::string& to);

}  // namespace platform::linux_fs
