#pragma once
// Mending what a run killed in the middle of rewriting a file's content left behind.

#include <string>
#include <vector>

namespace platform {

// What was found of one interrupted rewrite and done about it, for the user.
struct MendedRewrite {
    std::string path;  // the file rewritten
    std::string what;  // what was found and done, in the words of the command line
};

// Finds the records of rewrites that a killed or crashed run left (never those of a run still
// going on), and for each puts the file back whole: a file torn half new, half old gets its old
// bytes back from the copy kept of them; a file found wholly new or wholly old keeps its bytes.
// Then the copy and any half-written new file are removed. A copy whose file is gone is kept and
// named.
std::vector<MendedRewrite> MendInterruptedRewrites();

}  // namespace platform
