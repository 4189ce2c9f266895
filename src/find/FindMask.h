#pragma once
// Wildcard masks matched the way a Windows directory search matches them.

#include <string_view>

namespace vexfind {

// `*` stands for any run of characters, `?` for exactly one (one UTF-8 character, not one
// byte), letters A-Z compare without regard to case, and a mask ending in ".*" also matches a
// name without that dot, so "*.*" matches every name and "readme.*" matches "readme".
bool MatchesMask(std::string_view name, std::string_view mask);

}  // namespace vexfind
