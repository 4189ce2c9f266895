#include "engine/ChangeAhead.h"

#include <cstdint>
#include <limits>

namespace engine {

TChangeAhead::TChangeAhead(TFilePipeline& pipeline, int workers)
    : pipeline_(pipeline),
      // Unbounded: the run decides how many rows it hands over before it takes one back.
      files_(
          std::numeric_limits<std::size_t>::max(),
          [this](const ChangeRequest& request) { return Change(request); }, workers) {}

void TChangeAhead::Hand(int row, RowFile file, const FileChanges& changes) {
    files_.Ask(row, {std::move(file), changes});
    ++handed_;
}

ChangedRow TChangeAhead::TakeFirst() {
    // Taken back even if its work threw: the exception leaves the run, and the row with it.
    --handed_;
    auto [row, processed] = files_.TakeFirst();
    return {row, std::move(processed)};
}

ProcessedFile TChangeAhead::Change(const ChangeRequest& request) {
    for (;;) {
        const std::uint64_t since = inHand_.LetGo();
        OpenedFile opened = OpenRowFile(request.file, &folders_);
        if (!opened.handle)
            return pipeline_.ProcessFile(request.file, request.changes, std::move(opened));
        const platform::FileIdentity file = opened.handle->Identity();
        if (!inHand_.Hold(file, since))
            continue;
        // Let go whatever the steps do, an exception included.
        struct LetGo {
            TFilesInHand& inHand;
            platform::FileIdentity file;
            ~LetGo() { inHand.Release(file); }
        } letGo{inHand_, file};
        return pipeline_.ProcessFile(request.file, request.changes, std::move(opened));
    }
}

}  // namespace engine
