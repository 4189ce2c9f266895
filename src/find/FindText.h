#pragma once
// Searching a file for a text, in overlapping chunks of one fixed buffer.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vexfind {

// Bytes read at a time; consecutive chunks overlap by the length of the text so that a match
// across a chunk boundary is seen.
constexpr std::size_t kTextChunkSize = 32'767;

// Whether the first `size` bytes of the file hold `text` byte for byte. Unless `caseSensitive`,
// letters A-Z of the file are folded to a-z first, and `text` must already be folded that way.
// `stopRequested` is asked between chunks. False when the file cannot be opened.
bool FileContainsText(const std::string& path, std::uint64_t size, std::string_view text,
                      bool caseSensitive, const std::function<bool()>& stopRequested);

// Letters A-Z become a-z; every other byte stays, accented letters included.
std::string FoldAsciiToLower(std::string_view text);

}  // namespace vexfind
