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
    PreparedFile prepared = Prepare(rowFile, changes, std::move(opened));
    Record(prepared, changes);
    const platform::Result recorded =
        prepared.journalled && changes.journal ? changes.journal->Sync() : platform::Result::Done();
    return Apply(std::move(prepared), changes, recorded);
}

PreparedFile TFilePipeline::Prepare(const RowFile& rowFile, const FileChanges& changes,
                                    std::optional<OpenedFile> opened) {
    if (!opened)
        opened = OpenRowFile(rowFile);
    PreparedFile prepared;
    const auto fail = [&](const std::string& reason) {
        ProcessedFile& failed = prepared.failed.emplace();
        failed.update.failures.push_back({rowFile.path, reason});
        failed.outcome = {false, reason, false};
        return std::move(prepared);
    };
    std::optional<platform::TFileHandle>& handle = opened->handle;
    if (!handle)
        return fail(opened->reason);
    // Another run changing the file at the same time would mix the two runs' changes.
    if (const platform::Result locked = handle->LockForChange(); !locked)
        return fail(locked.Reason());
    prepared.plan = Plan(*handle, changes);
    prepared.opened = std::move(opened);
    return prepared;
}

void TFilePipeline::Record(PreparedFile& prepared, const FileChanges& changes) {
    if (!changes.journal || prepared.failed)
        return;
    const FilePlan& plan = prepared.plan;
    const bool rewrites = plan.gif && plan.gif->outcome.ok && plan.gif->comments > 0;
    // A file the plan leaves as it is has nothing to undo.
    if (plan.after == plan.now && !rewrites)
        return;
    const platform::TFileHandle& handle = *prepared.opened->handle;
    const auto fail = [&](const std::string& reason) {
        ProcessedFile& failed = prepared.failed.emplace();
        failed.update.failures.push_back({handle.Path(), reason});
        failed.outcome = {false, reason, false};
    };
    // Each thread reuses the room of its last entries: a run records every file.
    thread_local platform::JournalEntry intent;
    if (!handle.ReadJournalState(intent.before))
        return fail("cannot be read for the journal");
    const std::uint64_t number = changes.journal->NextNumber();
    if (rewrites) {
        std::string reason;
        prepared.keepOldAs = changes.journal->KeptPath(number, reason);
        if (prepared.keepOldAs.empty())
            return fail(reason);
    }
    const platform::FileState& before = intent.before;
    // The mode and the bytes stored are known once the change is made.
    PreparedFile::Journalled& journalled = prepared.journalled.emplace();
    journalled.number = number;
    platform::FileState& after = journalled.foreseen;
    after.path = handle.Path().substr(0, platform::NameStart(handle.Path())) + plan.after.name;
    after.creation = before.creation;
    after.lastWrite = before.lastWrite;
    after.lastAccess = before.lastAccess;
    after.attributes = plan.after.attributes;
    after.mode = before.mode;
    after.storedKnown = false;
    if (plan.times) {
        if (plan.times->creation)
            after.creation = platform::FileTimeToNanoseconds(*plan.times->creation);
        if (plan.times->lastWrite)
            after.lastWrite = platform::FileTimeToNanoseconds(*plan.times->lastWrite);
        if (plan.times->lastAccess)
            after.lastAccess = platform::FileTimeToNanoseconds(*plan.times->lastAccess);
    }
    intent.kind = platform::JournalEntryKind::Intent;
    intent.number = number;
    intent.identity = handle.Identity();
    intent.after = after;
    intent.contentKept = rewrites;
    changes.journal->Add(intent);
}

ProcessedFile TFilePipeline::Apply(PreparedFile prepared, const FileChanges& changes,
                                   const platform::Result& recorded) {
    if (prepared.failed)
        return std::move(*prepared.failed);
    platform::TFileHandle& handle = *prepared.opened->handle;
    ProcessedFile processed;
    if (prepared.journalled && !recorded) {
        // Never changed without its record: the change could not be undone.
        processed.update.failures.push_back({handle.Path(), recorded.Reason()});
        processed.outcome = {false, recorded.Reason(), false};
        return processed;
    }
    const FilePlan& plan = prepared.plan;
    FileContext file{handle,           changes.options,   changes.setMask, changes.givenTimes,
                     processed.update, prepared.keepOldAs};
    // What the steps left, recorded however they ended: a step that failed half way may still
    // have changed something.
    const auto done = [&] {
        if (!prepared.journalled)
            return std::move(processed);
        thread_local platform::JournalEntry left;
        if (handle.ReadJournalState(left.after)) {
            left.kind = platform::JournalEntryKind::Done;
            left.number = prepared.journalled->number;
            left.identity = handle.Identity();
            left.before = std::move(prepared.journalled->foreseen);
            changes.journal->Add(left);
        }
        return std::move(processed);
    };
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
            return done();
        }
        if (outcome.ok)
            continue;
        processed.update.failures.push_back({handle.Path(), outcome.reason});
        if (outcome.endsFile) {
            processed.outcome = std::move(outcome);
            return done();
        }
    }
    return done();
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
    if (StepOutcome outcome = ApplyGifStep(file.handle, image_, *plan.gif, file.keepOldAs);
        !outcome.ok)
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
