#pragma once
// The two kinds of letter-case conversion of names.

#include <string>

namespace engine {

// Plain conversion: only A-Z and a-z change; every other byte stays as it is.

// Locale conversion: every letter the user's locale knows (towlower/towupper) changes, on the
// text decoded as UTF-8. Bytes that are not valid UTF-8 stay as they are.
std::string LocaleLower(const std::string& text);
std::string LocaleUpper(const std::string& text);

}  // namespace engine
