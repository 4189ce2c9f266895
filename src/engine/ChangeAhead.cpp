#include "engine/ChangeAhead.h"

#include <algorithm>
#include <limits>

namespace engine {
namespace {

// More files let go than this while one file is opened (a few system calls) is not expected;
// should it happen, the file is opened again as if it had been changed meanwhile.
constexpr std::size_t kRecentKept = 64;

}  // namespace

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
        recent_.emplace_back(file, ++letGo_);
        if (recent_.size() > kRecentKept)
            recent_.pop_front();
    }
    released_.notify_all();
}

bool TFilesInHand::LetGoSince(const platform::FileIdentity& file, std::uint64_t since) const {
    if (letGo_ == since)
        return false;
    // Files let go after `since` that are no longer remembered may have been this one.
    if (recent_.empty() || recent_.front().second > since + 1)
        return true;
    // Newest first: only those let go after `since` count.
    for (auto letGo = recent_.rbegin(); letGo != recent_.rend() && letGo->second > since; ++letGo) {
        if (letGo->first == file)
            return true;
    }
    return false;
}

TChangeAhead::TChangeAhead(TFilePipeline& pipeline, std::uint32_t setMask, int threads)
    : pipeline_(pipeline),
      setMask_(setMask),
      // Unbounded: the run decides how many rows it hands over before it takes one back.
      files_(
          std::numeric_limits<std::size_t>::max(),
          [this](const ChangeRequest& request) { return Change(request); }, threads) {}

void TChangeAhead::Hand(int row, RowFile file, const RunOptions& options) {
    ChangeRequest request{std::move(file), options};
    files_.Ask(row, request);
    handed_.emplace_back(row, std::move(request));
}

ChangedRow TChangeAhead::TakeFirst() {
    auto [row, request] = std::move(handed_.front());
    handed_.pop_front();
    // Asked for in this very order, so always there.
    ProcessedFile processed = *files_.Take(row, request);
    return {row, std::move(request.file), std::move(processed)};
}

ProcessedFile TChangeAhead::Change(const ChangeRequest& request) {
    for (;;) {
        const std::uint64_t since = inHand_.LetGo();
        OpenedFile opened = OpenRowFile(request.file, &folders_);
        if (!opened.handle)
            return pipeline_.ProcessFile(request.file, request.options, setMask_,
                                         std::move(opened));
        const platform::FileIdentity file = opened.handle->Identity();
        if (!inHand_.Hold(file, since))
            continue;
        // Let go whatever the steps do, an exception included.
        struct LetGo {
            TFilesInHand& inHand;
            platform::FileIdentity file;
            ~LetGo() { inHand.Release(file); }
        } letGo{inHand_, file};
        return pipeline_.ProcessFile(request.file, request.options, setMask_, std::move(opened));
    }
}

}  // namespace engine
