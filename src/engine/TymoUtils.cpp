#include "engine/TymoUtils.h"

namespace engine {
namespace {

TDateTime LocalDateTime(platform::FileTime utc) {
    platform::SystemTime parts;
    return platform::FileTimeToLocalSystemTime(utc, parts) ? SystemTimeToDateTime(parts) : 0;
}

}  // namespace

std::int64_t GetSizeOfFile(const std::string& path) {
    const auto found = platform::FindPath(path);
    return found ? static_cast<std::int64_t>(found->size) : -1;
}

TDateTime GetCreatedTime(const std::string& path) {
    return CreatedTimeOf(platform::FindPath(path));
}

TDateTime GetModifiedTime(const std::string& path) {
    return ModifiedTimeOf(platform::FindPath(path));
}

TDateTime GetOpenedDate(const std::string& path) {
    return OpenedDateOf(platform::FindPath(path));
}

TDateTime CreatedTimeOf(const std::optional<platform::FindData>& found) {
    return found && found->creationTime ? LocalDateTime(*found->creationTime) : 0;
}

TDateTime ModifiedTimeOf(const std::optional<platform::FindData>& found) {
    return found ? LocalDateTime(found->lastWriteTime) : 0;
}

TDateTime OpenedDateOf(const std::optional<platform::FindData>& found) {
    return DateOf(OpenedTimeOf(found));
}

TDateTime OpenedTimeOf(const std::optional<platform::FindData>& found) {
    return found ? LocalDateTime(found->lastAccessTime) : 0;
}

std::string IncludeBackslash(const std::string& text) {
    if (!text.empty() && text.back() == platform::kPathSeparator)
        return text;
    return text + platform::kPathSeparator;
}

}  // namespace engine
