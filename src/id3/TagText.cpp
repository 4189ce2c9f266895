#include "id3/TagText.h"

#include <array>
#include <cstdint>

namespace id3 {

namespace {

// Code points of the bytes 0x80-0x9F in Windows-1252; the rest of the upper half equals
// Latin-1 and so its own code point.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80-0x87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88-0x8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90-0x97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98-0x9F
};

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        // Nothing in Windows-1252 lies beyond the Basic Multilingual Plane.
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool IsContinuation(std::uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed sequence starting at `pos`, or 0 when there is none.
std::size_t SequenceLength(std::string_view bytes, std::size_t pos) {
    const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[pos + i]); };
    const std::uint8_t lead = at(0);
    std::size_t length = 0;
    std::uint8_t secondMin = 0x80;
    std::uint8_t secondMax = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondMin = lead == 0xE0 ? 0xA0 : 0x80;  // overlong
        secondMax = lead == 0xED ? 0x9F : 0xBF;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondMin = lead == 0xF0 ? 0x90 : 0x80;  // overlong
        secondMax = lead == 0xF4 ? 0x8F : 0xBF;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (pos + length > bytes.size() || at(1) < secondMin || at(1) > secondMax) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(at(i))) {
            return 0;
        }
    }
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, pos);
        if (length == 0) {
            return false;
        }
        pos += length;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        const bool inHighControls = byte >= 0x80 && byte <= 0x9F;
        AppendUtf8(out, inHighControls ? kHighControls[byte - 0x80] : char32_t{byte});
    }
    return out;
}

std::string TagTextToUtf8(std::string_view bytes) {
    return IsValidUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

}  // namespace id3
