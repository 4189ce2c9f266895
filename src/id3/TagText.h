#pragma once
// ID3v1 carries no text encoding: taggers wrote whatever their system used, on Windows almost
// always code page 1252. File names on Linux are UTF-8, so every text read from a tag goes
// through here before it is shown or used in a name.

#include <string>
#include <string_view>

namespace id3 {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Every byte read as Windows-1252 and written as UTF-8. The five bytes that code page leaves
// undefined become the control characters of the same value, as Windows converts them, so the
// original bytes can always be recovered.
std::string Windows1252ToUtf8(std::string_view bytes);

// Text that already is valid UTF-8 is kept as it is (plain ASCII included); anything else is
// taken as Windows-1252.
std::string TagTextToUtf8(std::string_view bytes);

}  // namespace id3
