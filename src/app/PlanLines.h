#pragma once
// A file's plan as --dry-run prints it: one line per change, "PATH: FIELD: OLD -> NEW".

#include <cstdint>
#include <optional>
#include <string>

#include "engine/FilePlan.h"

namespace app {

class TPlanLines {
public:
    // Appends the lines of the changes `plan` would make to the file at `path`, each ending in
    // a line feed: name, created, modified, opened, attributes and gif comments, in that order,
    // each only where the new value differs from the old. Times are local, "YYYY-MM-DD
    // HH:MM:SS"; attributes letters ("-" for none); the comment count a number whose new value
    // is 0.
    void Append(const std::string& path, const engine::FilePlan& plan, std::string& lines);

private:
    // The text of a time; the last second made into a text is kept, since the times of a batch
    // mostly share their second (the one value a run gives them, or that of their making).
    const std::string& TimeText(const std::optional<platform::FileTime>& time);

    std::optional<std::int64_t> lastSecond_;
    std::string lastText_;
    std::string noTime_ = "-";
};

}  // namespace app
