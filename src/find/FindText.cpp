#include "find/FindText.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace vexfind {

namespace {

void FoldInPlace(char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] >= 'A' && bytes[i] <= 'Z') {
            bytes[i] = static_cast<char>(bytes[i] + 0x20);
        }
    }
}

}  // namespace

std::string FoldAsciiToLower(std::string_view text) {
    std::string folded(text);
    FoldInPlace(folded.data(), folded.size());
    return folded;
}

bool FileContainsText(const std::string& path, std::uint64_t size, std::string_view text,
                      bool caseSensitive, const std::function<bool()>& stopRequested) {
    if (text.empty() || size < text.size()) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    // A chunk must be longer than the text, or the overlap would keep the scan in place.
    const std::uint64_t chunkLimit =
        text.size() < kTextChunkSize ? kTextChunkSize : text.size() + kTextChunkSize;
    std::vector<char> buffer(chunkLimit);
    std::uint64_t offset = 0;
    std::uint64_t remaining = size;
    while (remaining > 0 && !stopRequested()) {
        const std::uint64_t chunk = std::min(remaining, chunkLimit);
        file.seekg(static_cast<std::streamoff>(offset));
        file.read(buffer.data(), static_cast<std::streamsize>(chunk));
        const auto got = static_cast<std::size_t>(file.gcount());
        if (!caseSensitive) {
            FoldInPlace(buffer.data(), got);
        }
        if (std::string_view(buffer.data(), got).find(text) != std::string_view::npos) {
            return true;
        }
        if (got < chunk || chunk == remaining) {
            break;  // the end, or the file shrank since it was listed
        }
        offset += chunk - text.size();
        remaining -= chunk - text.size();
    }
    return false;
}

}  // namespace vexfind
