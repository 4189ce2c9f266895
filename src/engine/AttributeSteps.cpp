#include "engine/AttributeSteps.h"

#include "platform/FileSystem.h"

namespace engine {

bool RemoveAttributes(const std::string& path, const RunOptions& options) {
    std::uint32_t a = platform::GetFileAttributes(path);
    if (a == platform::kInvalidAttributes)
        return false;
    if (options.rArchive)
        a &= ~platform::kAttrArchive;
    if (options.rReadOnly)
        a &= ~platform::kAttrReadOnly;
    if (options.rHidden)
        a &= ~platform::kAttrHidden;
    if (options.rSystem)
        a &= ~platform::kAttrSystem;
    return platform::SetFileAttributes(path, a);
}

bool SetAttributes(const std::string& path, std::uint32_t mask) {
    return platform::SetFileAttributes(path, mask);
}

}  // namespace engine
