#include "engine/ChangeAhead.h"

#include <algorithm>
#include <limits>

namespace engine {

std::uint64_t TFilesInHand::LetGo() const {
    const std::lock_guard lock(mutex_);
    return letGo_;
}

bool TFilesInHand::Hold(const platform::FileIdentity& file, std::uint64_t since) {
    std::unique_lock lock(mutex_);
    released_.wait(lock,
                   [&] { return std::find(held_.begin(), held_.end(), file) == held_.end(); });
    if (LetGoSince(file, since))
        return false;
    held_.push_back(file);
    return true;
}

void TFilesInHand::Release(const platform::FileIdentity& file) {
    {
        const std::lock_guard lock(mutex_);
        held_.erase(std::find(held_.begin(), held_.end(), file));
        ++letGo_;
        recent_[letGo_ % recent_.size()] = file;
    }
    released_.notify_all();
}

bool TFilesInHand::LetGoSince(const platform::FileIdentity& file, std::uint64_t since) const {
    // More let go since then than are remembered: any of them may have been this one. (More
    // than a few while one file is opened is not expected.)
    if (letGo_ - since > recent_.size())
        return true;
    for (std::uint64_t count = since + 1; count <= letGo_; ++count) {
        if (recent_[count % recent_.size()] == file)
            return true;
    }
    return false;
}

TChangeAhead::TChangeAhead(TFilePipeline& pipeline, int threads)
    : pipeline_(pipeline),
      // Unbounded: the run decides how many rows it hands over before it takes one back.
      files_(
          std::numeric_limits<std::size_t>::max(),
          [this](const ChangeRequest& request) { return Change(request); }, threads) {}

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
