#pragma once
// A file's plan as --dry-run prints it: one line per change, "PATH: FIELD: OLD -> NEW".

#include <string>

#include "engine/FilePlan.h"

namespace app {

// The lines of the changes `plan` would make to the file at `path`, each ending in a line
// feed: name, created, modified, opened, attributes and gif comments, in that order, each only
// where the new value differs from the old. Times are local, "YYYY-MM-DD HH:MM:SS"; attributes
// letters ("-" for none); the comment count a number whose new value is 0.
std::string PlanLines(const std::string& path, const engine::FilePlan& plan);

}  // namespace app
