#include "engine/RemoveAttributes.h"

namespace engine {

platform::Result RemoveAttributes(platform::TFileHandle& file, const RunOptions& options) {
    std::uint32_t a = file.GetAttributes();
    if (a == platform::kInvalidAttributes)
        return platform::Result::Failed("the attributes cannot be read");
    if (options.rArchive)
        a &= ~platform::kAttrArchive;
    if (options.rReadOnly)
        a &= ~platform::kAttrReadOnly;
    if (options.rHidden)
        a &= ~platform::kAttrHidden;
    if (options.rSystem)
        a &= ~platform::kAttrSystem;
    return file.SetAttributes(a);
}

}  // namespace engine
