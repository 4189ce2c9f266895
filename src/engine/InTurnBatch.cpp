#include "engine/InTurnBatch.h"

#include <algorithm>

#include "platform/Path.h"

namespace engine {
namespace {

// Files recorded with one sync.
constexpr std::size_t kBatchSize = 256;

}  // namespace

bool TInTurnBatch::Add(int row, const RowFile& file, const FileChanges& changes) {
    OpenedFile opened = OpenRowFile(file);
    if (opened.handle && identities_.count(opened.handle->Identity()) > 0)
        return false;
    PreparedFile prepared = pipeline_.Prepare(file, changes, std::move(opened));
    std::vector<std::string> names;
    if (!prepared.failed) {
        const std::string& path = prepared.opened->handle->Path();
        names = {platform::AsciiLower(path),
                 platform::AsciiLower(path.substr(0, platform::NameStart(path)) +
                                      prepared.plan.after.name)};
        // A name taken now may be one a file of the batch is to give up.
        for (const RenameOutcome* rename : {&prepared.plan.tagRename, &prepared.plan.caseRename}) {
            if (rename->status == RenameOutcome::Status::TargetExists)
                names.push_back(platform::AsciiLower(rename->newPath));
        }
        if (std::any_of(names.begin(), names.end(),
                        [this](const std::string& name) { return names_.count(name) > 0; })) {
            return false;
        }
        identities_.insert(prepared.opened->handle->Identity());
        names_.insert(names.begin(), names.end());
        full_ = full_ || prepared.plan.gif.has_value();
    }
    pipeline_.Record(prepared, changes);
    files_.push_back({row, changes, std::move(prepared)});
    full_ = full_ || files_.size() >= kBatchSize;
    return true;
}

std::vector<ChangedRow> TInTurnBatch::Change() {
    const bool recorded = std::any_of(files_.begin(), files_.end(), [](const Joined& file) {
        return file.prepared.journalled.has_value();
    });
    platform::TRunJournal* journal = files_.empty() ? nullptr : files_.front().changes.journal;
    const platform::Result synced =
        recorded && journal ? journal->Sync() : platform::Result::Done();
    std::vector<ChangedRow> changed;
    for (Joined& file : files_) {
        changed.push_back(
            {file.row, pipeline_.Apply(std::move(file.prepared), file.changes, synced)});
        if (changed.back().processed.outcome.endsRun)
            break;
    }
    files_.clear();
    identities_.clear();
    names_.clear();
    full_ = false;
    return changed;
}
}  // namespace engine
