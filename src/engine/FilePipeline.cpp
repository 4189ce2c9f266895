#include "engine/FilePipeline.h"

#include <exception>

#include "engine/DateAssign.h"
#include "engine/GifStep.h"
#include "engine/RemoveAttributes.h"
#include "engine/Renaming.h"
#include "engine/TymoUtils.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"

namespace engine {
namespace {

bool HasExtension(const std::string& path, const char* extension) {
    return platform::AsciiLower(platform::ExtensionOf(path)) == extension;
}

}  // namespace

bool FileChanges::Follow(const RunOptions& current) {
    if (current == options)
        return false;
    options = current;
    givenTimes = GivenTimes(current);
    return true;
}

ProcessedFile TFilePipeline::ProcessFile(const RowFile& rowFile, const FileChanges& changes,
                                         std::optional<OpenedFile> opened) {
    if (!opened)
        opened = OpenRowFile(rowFile);
    ProcessedFile processed;
    std::optional<platform::TFileHandle>& handle = opened->handle;
    if (!handle) {
        processed.update.failures.push_back({rowFile.path, opened->reason});
        processed.outcome = {false, opened->reason, false};
        return processed;
    }
    // Another run changing the file at the same time would mix the two runs' changes.
    if (const platform::Result locked = handle->LockForChange(); !locked) {
        processed.update.failures.push_back({rowFile.path, locked.Reason()});
        processed.outcome = {false, locked.Reason(), false};
        return processed;
    }
    FileContext file{*handle, changes.options, changes.setMask, changes.givenTimes,
                     processed.update};
    using StepFn = StepOutcome (TFilePipeline::*)(FileContext&);
    static constexpr StepFn kSteps[] = {
        &TFilePipeline::RemoveAttributes, &TFilePipeline::DeleteGIFComments,
        &TFilePipeline::RenameFromTag,    &TFilePipeline::ChangeCase,
        &TFilePipeline::SetTimes,         &TFilePipeline::SetAttributes,
    };
    for (const StepFn step : kSteps) {
        StepOutcome outcome = (this->*step)(file);
        if (outcome.endsRun) {
            processed.outcome = std::move(outcome);
            return processed;
        }
        if (outcome.ok)
            continue;
        processed.update.failures.push_back({handle->Path(), outcome.reason});
        if (outcome.endsFile) {
            processed.outcome = std::move(outcome);
            return processed;
        }
    }
    return processed;
}

StepOutcome TFilePipeline::RemoveAttributes(FileContext& file) {
    if (!file.options.removeAttr)
        return StepOutcome::Done();
    const platform::Result removed = engine::RemoveAttributes(file.handle, file.options);
    // Shown whether or not all went: some bits may have changed before one could not.
    file.update.attributes = file.handle.GetAttributes();
    return StepOutcome::Of(Step::RemoveAttributes, removed);
}

StepOutcome TFilePipeline::DeleteGIFComments(FileContext& file) {
    if (!file.options.deleteGIFComments || !HasExtension(file.handle.Path(), ".gif"))
        return StepOutcome::Done();
    if (StepOutcome outcome = RewriteWithoutComments(file.handle, image_); !outcome.ok)
        return outcome;
    const std::optional<platform::FindData> found = file.handle.Find();
    file.update.size = found ? static_cast<std::int64_t>(found->size) : -1;
    return StepOutcome::Done();
}

StepOutcome TFilePipeline::RenameFromTag(FileContext& file) {
    if (!file.options.id3v1 || !HasExtension(file.handle.Path(), ".mp3"))
        return StepOutcome::Done();
    return Renamed(file, Step::RenameFromTag, engine::RenameFromTag(file.handle, id3_));
}

StepOutcome TFilePipeline::ChangeCase(FileContext& file) {
    if (file.options.caseChange == CaseChange::DontChange)
        return StepOutcome::Done();
    return Renamed(
        file, Step::ChangeCase,
        engine::ChangeCase(file.handle.Path(), platform::LastComponent(file.handle.Path()),
                           file.options.caseChange));
}

StepOutcome TFilePipeline::Renamed(FileContext& file, Step step, const RenameOutcome& outcome) {
    using Status = RenameOutcome::Status;
    if (outcome.status == Status::NotApplicable)
        return StepOutcome::Done();
    if (outcome.status != Status::Renamed)
        return StepOutcome::Failed(step, DescribeFailure(outcome));
    file.update.caption = outcome.newCaption;
    file.handle.Renamed(outcome.newPath);
    return StepOutcome::Done();
}

StepOutcome TFilePipeline::SetTimes(FileContext& file) {
    if (file.options.dateChange == DateChange::DoNotChange)
        return StepOutcome::Done();
    const platform::Result written = AssignTimes(file.handle, file.options, file.givenTimes);
    // Taken whether or not the write succeeded: the texts show what the file has.
    file.update.timesRead = true;
    file.update.times = file.handle.Find();
    return StepOutcome::Of(Step::SetTimes, written);
}

StepOutcome TFilePipeline::SetAttributes(FileContext& file) {
    if (!file.options.setAttr)
        return StepOutcome::Done();
    const platform::Result set = file.handle.SetAttributes(file.setMask);
    file.update.attributes = file.handle.GetAttributes();
    return StepOutcome::Of(Step::SetAttributes, set);
}

}  // namespace engine
