#include "find/FindMask.h"

#include <cstddef>
#include <cstdint>

namespace vexfind {

namespace {

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c;
}

// Bytes taken by the character starting at `pos`: a UTF-8 lead byte with its continuation
// bytes, or a single byte where the name is not UTF-8.
std::size_t CharLength(std::string_view text, std::size_t pos) {
    std::size_t length = 1;
    if (static_cast<std::uint8_t>(text[pos]) < 0xC0) {
        return length;
    }
    while (length < 4 && pos + length < text.size() &&
           (static_cast<std::uint8_t>(text[pos + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

// Classic wildcard matching with one backtracking point: the most recent `*` absorbs one more
// character whenever the rest fails, which is linear in practice and never recursive.
bool MatchWildcards(std::string_view name, std::string_view mask) {
    std::size_t n = 0;
    std::size_t m = 0;
    std::size_t starMask = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && mask[m] == '?') {
            n += CharLength(name, n);
            ++m;
        } else if (m < mask.size() && FoldAscii(mask[m]) == FoldAscii(name[n])) {
            ++n;
            ++m;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            starName += CharLength(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') {
        ++m;
    }
    return m == mask.size();
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
    // The masks of the add-folder commands take every name: no need to scan each one.
    if (mask == "*.*" || mask == "*") {
        return true;
    }
    if (MatchWildcards(name, mask)) {
        return true;
    }
    // Windows lets a trailing ".*" match the end of a name that has no dot there.
    constexpr std::string_view kAnyExtension = ".*";
    return mask.ends_with(kAnyExtension) &&
           MatchWildcards(name, mask.substr(0, mask.size() - kAnyExtension.size()));
}

}  // namespace vexfind
