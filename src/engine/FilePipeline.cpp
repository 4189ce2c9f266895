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

FilePlan TFilePipeline::Plan(const platform::TFileHandle& file, const FileChanges& changes) {
    const RunOptions& options = changes.options;
    FilePlan plan;
    const std::optional<platform::FindData> found = file.Find();
    if (found)
        plan.now = *found;
    else
        plan.now.attributes = platform::kInvalidAttributes;
    platform::FindData& after = plan.after;
    after = plan.now;
    const std::string folder = file.Path().substr(0, platform::NameStart(file.Path()));
    const auto fail = [&](Step step, std::string reason) {
        plan.failures.push_back({step, folder + after.name, std::move(reason)});
    };
    // The attribute word a write of `word` would leave, when nothing refuses it.
    const auto attributesAfter = [&](Step step, std::uint32_t word) {
        if (const platform::Result check = file.CheckAttributes(word); !check)
            fail(step, check.Reason());
        else
            after.attributes = (after.attributes & ~platform::kChangeableAttributes) |
                               (word & platform::kChangeableAttributes);
    };

    if (options.removeAttr) {
        if (after.attributes == platform::kInvalidAttributes) {
            fail(Step::RemoveAttributes, "the attributes cannot be read");
        } else {
            plan.removedAttributes = RemovedAttributes(after.attributes, options);
            attributesAfter(Step::RemoveAttributes, *plan.removedAttributes);
        }
    }
    if (options.deleteGIFComments && HasExtension(file.Path(), ".gif")) {
        plan.gif = PlanGifStep(file, image_);
        if (!plan.gif->outcome.ok) {
            if (!plan.gif->outcome.endsRun)
                fail(Step::DeleteGIFComments, plan.gif->outcome.reason);
            if (plan.gif->outcome.endsRun || plan.gif->outcome.endsFile) {
                plan.end = plan.gif->outcome;
                return plan;
            }
        }
    }
    // A later step names the file as an earlier rename would leave it.
    const auto renamed = [&](Step step, const RenameOutcome& outcome) {
        if (outcome.status == RenameOutcome::Status::Renamed)
            after.name = outcome.newCaption;
        else if (outcome.status != RenameOutcome::Status::NotApplicable)
            fail(step, DescribeFailure(outcome));
    };
    if (options.id3v1 && HasExtension(file.Path(), ".mp3")) {
        plan.tagRename =
            PlanTagRename(file, id3_, options.id3v2 ? TagKinds::ID3v2First : TagKinds::ID3v1Only);
        renamed(Step::RenameFromTag, plan.tagRename);
    }
    if (options.caseChange != CaseChange::DontChange) {
        plan.caseRename =
            PlanCaseChange(file.Path(), folder + after.name, after.name, options.caseChange);
        renamed(Step::ChangeCase, plan.caseRename);
    }
    if (options.dateChange != DateChange::DoNotChange) {
        if (options.dateChange == DateChange::FromFile && found) {
            // The date is read from the file as it is; its name as the renames would leave it.
            const FileDate date = DateFromFile(options, file, after.name);
            if (date.utc)
                plan.times = TickedTimes(options, *date.utc);
            plan.noTimesReason = date.reason;
        } else {
            plan.times = TimesToAssign(options, changes.givenTimes,
                                       found ? std::optional(after) : std::nullopt);
            plan.noTimesReason = NoTimesReason(options);
        }
        if (!plan.times) {
            fail(Step::SetTimes, plan.noTimesReason);
        } else if (const platform::Result check = file.CheckTimes(*plan.times, after.attributes);
                   !check) {
            fail(Step::SetTimes, check.Reason());
        } else {
            after.creationTime = plan.times->creation ? plan.times->creation : after.creationTime;
            after.lastWriteTime = plan.times->lastWrite.value_or(after.lastWriteTime);
            after.lastAccessTime = plan.times->lastAccess.value_or(after.lastAccessTime);
        }
    }
    if (options.setAttr) {
        plan.setAttributes = changes.setMask;
        attributesAfter(Step::SetAttributes, changes.setMask);
    }
    return plan;
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
    const FilePlan plan = Plan(*handle, changes);
    FileContext file{*handle, changes.options, changes.setMask, changes.givenTimes,
                     processed.update};
    using StepFn = StepOutcome (TFilePipeline::*)(FileContext&, const FilePlan&);
    static constexpr StepFn kSteps[] = {
        &TFilePipeline::RemoveAttributes, &TFilePipeline::DeleteGIFComments,
        &TFilePipeline::RenameFromTag,    &TFilePipeline::ChangeCase,
        &TFilePipeline::SetTimes,         &TFilePipeline::SetAttributes,
    };
    for (const StepFn step : kSteps) {
        StepOutcome outcome = (this->*step)(file, plan);
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

StepOutcome TFilePipeline::RemoveAttributes(FileContext& file, const FilePlan& plan) {
    if (!file.options.removeAttr)
        return StepOutcome::Done();
    if (!plan.removedAttributes)
        return StepOutcome::Failed(Step::RemoveAttributes, "the attributes cannot be read");
    const platform::Result removed = file.handle.SetAttributes(*plan.removedAttributes);
    // Shown whether or not all went: some bits may have changed before one could not.
    file.update.attributes = file.handle.GetAttributes();
    return StepOutcome::Of(Step::RemoveAttributes, removed);
}

StepOutcome TFilePipeline::DeleteGIFComments(FileContext& file, const FilePlan& plan) {
    if (!plan.gif)
        return StepOutcome::Done();
    if (StepOutcome outcome = ApplyGifStep(file.handle, image_, *plan.gif); !outcome.ok)
        return outcome;
    const std::optional<platform::FindData> found = file.handle.Find();
    file.update.size = found ? static_cast<std::int64_t>(found->size) : -1;
    return StepOutcome::Done();
}

StepOutcome TFilePipeline::RenameFromTag(FileContext& file, const FilePlan& plan) {
    return Renamed(file, Step::RenameFromTag, ApplyRename(file.handle.Path(), plan.tagRename));
}

StepOutcome TFilePipeline::ChangeCase(FileContext& file, const FilePlan& plan) {
    return Renamed(file, Step::ChangeCase, ApplyRename(file.handle.Path(), plan.caseRename));
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

StepOutcome TFilePipeline::SetTimes(FileContext& file, const FilePlan& plan) {
    if (file.options.dateChange == DateChange::DoNotChange)
        return StepOutcome::Done();
    const platform::Result written = plan.times ? file.handle.SetTimes(*plan.times)
                                                : platform::Result::Failed(plan.noTimesReason);
    // Taken whether or not the write succeeded: the texts show what the file has.
    file.update.timesRead = true;
    file.update.times = file.handle.Find();
    return StepOutcome::Of(Step::SetTimes, written);
}

StepOutcome TFilePipeline::SetAttributes(FileContext& file, const FilePlan& plan) {
    if (!plan.setAttributes)
        return StepOutcome::Done();
    const platform::Result set = file.handle.SetAttributes(*plan.setAttributes);
    file.update.attributes = file.handle.GetAttributes();
    return StepOutcome::Of(Step::SetAttributes, set);
}

}  // namespace engine
