#pragma once
// A file's plan as --dry-run prints it: one line per change, "PATH: FIELD: OLD -> NEW".

#include <array>
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
    // The text of a time. The last few seconds made into texts are kept, since the times of a
    // batch mostly share a few seconds (the one value a run gives them, those of their making).
    const std::string& TimeText(const std::optional<platform::FileTime>& time);

    struct Known {
        std::int64_t second = 0;
        std::string text;
    };
    std::array<Known, 4> known_{};
    std::size_t oldest_ = 0;
    std::string noTime_ = "-";
};

}  // namespace app
