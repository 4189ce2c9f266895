#pragma once
// The parts of a path the program looks at, and the letter case rule that needs no locale.

#include <string>
#include <string_view>

namespace platform {

// The last component of a path, trailing separators ignored; "/" for the root.
std::string LastComponent(const std::string& path);

// Where the last component of a path begins.
std::size_t NameStart(const std::string& path);

// The folder that holds the last component, trailing separators ignored: "." for a bare name,
// "/" for a name in the root.
std::string FolderOf(const std::string& path);
// The same, without a copy: it lies in `path` (or is a constant).
std::string_view FolderViewOf(const std::string& path);
std::string_view FolderViewOf(std::string&&) = delete;

// `name` in `folder`: "/" and "a" give "/a"; "/x" and "a" give "/x/a".
std::string JoinPath(const std::string& folder, const std::string& name);

// The extension of the last component, with its dot: from the last "." of the name to its end,
// empty when the name has none. A name that is only an extension (".gif") is all extension, as
// the program always took it.
std::string ExtensionOf(const std::string& path);

// The length of the control character that begins at `at`: 1 for C0 (below U+0020) and DEL,
// 2 for C1 (U+0080 to U+009F) in its UTF-8 form, 0 for anything else.
std::size_t ControlCharacterAt(std::string_view text, std::size_t at);
bool HasControlCharacter(std::string_view text);

// A-Z to a-z (or back); every other byte stays as it is, whatever the locale.
std::string AsciiLower(const std::string& text);
std::string AsciiUpper(const std::string& text);

}  // namespace platform
