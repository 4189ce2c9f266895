#pragma once
// The program's folder for what it keeps between runs that is neither a setting nor a cache:
// records of rewrites in progress, journals of runs.

#include <string>

namespace platform::linux_fs {

// $XDG_STATE_HOME/orbel-kelvane (~/.local/state when the variable is unset or not absolute);
// empty when there is no home either.
std::string ProgramStateFolder();

// `name` inside ProgramStateFolder(), made with its parents when missing and for the user alone
// (0700); empty with the reason when there is no home or it cannot be made.
std::string PrivateStateFolder(const std::string& name, std::string& reason);

}  // namespace platform::linux_fs
