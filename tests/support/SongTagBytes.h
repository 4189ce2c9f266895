#pragma once
// ID3v2 tags written byte by byte, as a tagger writes them, so that the reader is checked
// against the format and not against the library that reads it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// A size as ID3v2 writes it: four bytes of seven bits each.
inline std::string SyncSafe(std::size_t size) {
    std::string bytes(4, '\0');
    for (int i = 3; i >= 0; --i, size >>= 7)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(size & 0x7F);
    return bytes;
}

// A tag of version 3 or 4 holding text frames (id, text): Latin-1 texts in version 3, UTF-8 in
// version 4, whose frame sizes are also seven bits a byte.
inline std::string SongTagBytes(int version,
                                const std::vector<std::pair<std::string, std::string>>& frames) {
    std::string body;
    for (const auto& [id, text] : frames) {
        const std::size_t size = text.size() + 1;
        std::string sizeBytes = SyncSafe(size);
        if (version == 3) {
            for (int i = 0; i < 4; ++i)
                sizeBytes[static_cast<std::size_t>(i)] =
                    static_cast<char>((size >> (8 * (3 - i))) & 0xFF);
        }
        body += id + sizeBytes + std::string(2, '\0') + (version == 3 ? '\0' : '\3') + text;
    }
    return "ID3" + std::string{static_cast<char>(version), '\0', '\0'} + SyncSafe(body.size()) +
           body;
}

}  // namespace testsupport
