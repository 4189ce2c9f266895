#include "engine/RunOptions.h"

#include "platform/FileSystem.h"

namespace engine {

std::uint32_t SetAttrMask(const RunOptions& options) {
    std::uint32_t mask = 0;
    if (options.archive)
        mask += platform::kAttrArchive;
    if (options.hidden)
        mask += platform::kAttrHidden;
    if (options.readOnly)
        mask += platform::kAttrReadOnly;
    if (options.system)
        mask += platform::kAttrSystem;
    return mask;
}

}  // namespace engine
