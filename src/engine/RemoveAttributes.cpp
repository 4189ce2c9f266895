#include "engine/RemoveAttributes.h"

#include "platform/FileSystem.h"

namespace engine {

std::uint32_t RemovedAttributes(std::uint32_t a, const RunOptions& options) {
    if (options.rArchive)
        a &= ~platform::kAttrArchive;
    if (options.rReadOnly)
        a &= ~platform::kAttrReadOnly;
    if (options.rHidden)
        a &= ~platform::kAttrHidden;
    if (options.rSystem)
        a &= ~platform::kAttrSystem;
    return a;
}

}  // namespace engine
