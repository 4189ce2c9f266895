#include "engine/CaseConversion.h"

#include <cwctype>

namespace engine {
namespace {

// Decodes one UTF-8 sequence at `at`; 0 when the bytes there are not a valid sequence.
std::size_t DecodeUtf8(const std::string& s, std::size_t at, char32_t& out) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        out = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > s.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not text.
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    out = value;
    return length;
}

void EncodeUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

template <typename Convert>
std::string ConvertLetters(const std::string& text, Convert convert) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, at, c);
        if (length == 0) {
            out += text[at++];
            continue;
        }
        const wint_t converted = convert(static_cast<wint_t>(c));
        // A mapping outside Unicode or into a surrogate would not encode back; keep the letter.
        if (converted > 0x10FFFF || (converted >= 0xD800 && converted <= 0xDFFF)) {
            out.append(text, at, length);
        } else {
            EncodeUtf8(static_cast<char32_t>(converted), out);
        }
        at += length;
    }
    return out;
}

}  // namespace

std::string LocaleLower(const std::string& text) {
    return ConvertLetters(text, [](wint_t c) { return std::towlower(c); });
}

std::string LocaleUpper(const std::string& text) {
    return ConvertLetters(text, [](wint_t c) { return std::towupper(c); });
}

}  // namespace engine
