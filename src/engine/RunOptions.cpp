#include "engine/RunOptions.h"

#include "platform/FileSystem.h"

namespace engine {

bool AsksForChange(const RunOptions& o) {
    return o.removeAttr || o.setAttr || o.deleteGIFComments || o.id3v1 ||
           o.caseChange != CaseChange::DontChange || o.dateChange != DateChange::DoNotChange;
}

bool ChangesOnlyAttributesAndTimes(const RunOptions& o) {
    return !o.deleteGIFComments && !o.id3v1 && o.caseChange == CaseChange::DontChange;
}

bool ReadsContent(const RunOptions& o) {
    return o.dateChange == DateChange::FromFile && (o.fromExif || o.fromId3);
}

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
