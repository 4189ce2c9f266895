#include "engine/RemoveAttributes.h"

namespace engine {

bool RemoveAttributes(platform::TFileHandle& file, const RunOptions& options, std::string& reason) {
    std::uint32_t a = file.GetAttributes();
    if (a == platform::kInvalidAttributes) {
        reason = "the attributes cannot be read";
        return false;
    }
    if (options.rArchive)
        a &= ~platform::kAttrArchive;
    if (options.rReadOnly)
        a &= ~platform::kAttrReadOnly;
    if (options.rHidden)
        a &= ~platform::kAttrHidden;
    if (options.rSystem)
        a &= ~platform::kAttrSystem;
    return file.SetAttributes(a, reason);
}

}  // namespace engine
