#include "engine/FilePipeline.h"

#include <exception>

#include "engine/AttributeSteps.h"
#include "engine/DateAssign.h"
#include "engine/GifStep.h"
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

TFilePipeline::TFilePipeline(IRunRows& rows, IRunHost& host) : rows_(rows), host_(host) {}

StepOutcome TFilePipeline::ProcessFile(int row, const RowFile& rowFile, const RunOptions& options,
                                       std::uint32_t setMask, std::optional<OpenedFile> opened) {
    if (!opened)
        opened = OpenRowFile(rowFile);
    std::optional<platform::TFileHandle>& handle = opened->handle;
    if (!handle) {
        host_.FileFailed(rowFile.path, opened->reason);
        return {false, opened->reason, false};
    }
    FileContext file{row, *handle, options, setMask};
    using StepFn = StepOutcome (TFilePipeline::*)(FileContext&);
    static constexpr StepFn kSteps[] = {
        &TFilePipeline::RemoveAttributes, &TFilePipeline::DeleteGIFComments,
        &TFilePipeline::RenameFromTag,    &TFilePipeline::ChangeCase,
        &TFilePipeline::SetTimes,         &TFilePipeline::SetAttributes,
    };
    for (const StepFn step : kSteps) {
        StepOutcome outcome = (this->*step)(file);
        if (outcome.endsRun)
            return outcome;
        if (!outcome.ok)
            host_.FileFailed(handle->Path(), outcome.reason);
    }
    return StepOutcome::Done();
}

StepOutcome TFilePipeline::RemoveAttributes(FileContext& file) {
    if (!file.options.removeAttr)
        return StepOutcome::Done();
    std::string reason;
    const bool removed = engine::RemoveAttributes(file.handle, file.options, reason);
    // Shown whether or not all went: some bits may have changed before one could not.
    RefreshAttributes(file);
    return removed ? StepOutcome::Done() : StepOutcome::Failed(Step::RemoveAttributes, reason);
}

StepOutcome TFilePipeline::DeleteGIFComments(FileContext& file) {
    if (!file.options.deleteGIFExtensions || !HasExtension(file.handle.Path(), ".gif"))
        return StepOutcome::Done();
    if (const std::string failure = RewriteWithoutComments(file.handle, image_); !failure.empty()) {
        return StepOutcome::Failed(Step::DeleteGIFComments, failure);
    }
    const std::optional<platform::FindData> found = file.handle.Find();
    rows_.SetSize(file.row, found ? static_cast<std::int64_t>(found->size) : -1);
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
        engine::ChangeCase(file.handle.Path(), rows_.Caption(file.row), file.options.caseChange));
}

StepOutcome TFilePipeline::Renamed(FileContext& file, Step step, const RenameOutcome& outcome) {
    using Status = RenameOutcome::Status;
    if (outcome.status == Status::NotApplicable)
        return StepOutcome::Done();
    if (outcome.status != Status::Renamed)
        return StepOutcome::Failed(step, DescribeFailure(outcome));
    rows_.SetCaption(file.row, outcome.newCaption);
    file.handle.Renamed(outcome.newPath);
    return StepOutcome::Done();
}

StepOutcome TFilePipeline::SetTimes(FileContext& file) {
    if (file.options.dateChange == DateChange::DoNotChange)
        return StepOutcome::Done();
    std::string reason;
    const bool written = AssignTimes(file.handle, file.options, reason);
    // Rewritten whether or not the write succeeded: the texts show what the file has.
    RefreshTimes(file);
    return written ? StepOutcome::Done() : StepOutcome::Failed(Step::SetTimes, reason);
}

StepOutcome TFilePipeline::SetAttributes(FileContext& file) {
    if (!file.options.setAttr)
        return StepOutcome::Done();
    std::string reason;
    const bool set = file.handle.SetAttributes(file.setMask, reason);
    RefreshAttributes(file);
    return set ? StepOutcome::Done() : StepOutcome::Failed(Step::SetAttributes, reason);
}

void TFilePipeline::RefreshAttributes(const FileContext& file) {
    rows_.SetAttributes(file.row, file.handle.GetAttributes());
}

void TFilePipeline::RefreshTimes(const FileContext& file) {
    rows_.SetTimes(file.row, file.handle.Find());
}

}  // namespace engine
