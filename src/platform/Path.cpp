#include "platform/Path.h"

#include "platform/FileSystem.h"

namespace platform {

std::string LastComponent(const std::string& path) {
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == kPathSeparator)
        --end;
    const std::size_t slash = path.rfind(kPathSeparator, end - 1);
    if (slash == std::string::npos)
        return path.substr(0, end);
    if (slash + 1 == end)
        return std::string(1, kPathSeparator);
    return path.substr(slash + 1, end - slash - 1);
}

std::size_t NameStart(const std::string& path) {
    const std::size_t slash = path.rfind(kPathSeparator);
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string FolderOf(const std::string& path) {
    return std::string(FolderViewOf(path));
}

std::string_view FolderViewOf(const std::string& path) {
    static constexpr char kRoot[] = {kPathSeparator, '\0'};
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == kPathSeparator)
        --end;
    const std::size_t slash = end == 0 ? std::string::npos : path.rfind(kPathSeparator, end - 1);
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string_view(kRoot) : std::string_view(path).substr(0, slash);
}

std::string ExtensionOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < NameStart(path))
        return {};
    return path.substr(dot);
}

std::size_t ControlCharacterAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (byte(at) < 0x20 || byte(at) == 0x7F)
        return 1;
    // U+0080 to U+009F encode as C2 80 to C2 9F.
    if (byte(at) == 0xC2 && at + 1 < text.size() && byte(at + 1) >= 0x80 && byte(at + 1) <= 0x9F)
        return 2;
    return 0;
}

bool HasControlCharacter(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (ControlCharacterAt(text, at) != 0)
            return true;
    }
    return false;
}

std::string AsciiLower(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string AsciiUpper(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == kPathSeparator)
        return folder + name;
    return folder + kPathSeparator + name;
}

}  // namespace platform
