#include "engine/FilePipeline.h"

#include <exception>

#include "engine/AttributeSteps.h"
#include "engine/DateAssign.h"
#include "engine/Renaming.h"
#include "engine/TymoUtils.h"
#include "gif/DeleteGIFComments.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"

namespace engine {
namespace {

// Decoded pixels one GIF may need, all its images together: a gibibyte, far beyond any real
// picture, but short of what a damaged header could make the run allocate.
constexpr std::size_t kGifPixelLimit = std::size_t{1} << 30;

bool HasExtension(const std::string& path, const char* extension) {
    return platform::AsciiLower(platform::ExtensionOf(path)) == extension;
}

// Why a row's path cannot be processed at all; empty when it names a file.
std::string WhyNotAFile(const std::string& path) {
    const std::optional<platform::FindData> found = platform::FindPath(path);
    if (!found)
        return "no such file";
    if (found->attributes & platform::kAttrDirectory)
        return "a folder is not processed";
    return {};
}

}  // namespace

TFilePipeline::TFilePipeline(IRunRows& rows, IRunHost& host) : rows_(rows), host_(host) {
    image_.SetPixelLimit(kGifPixelLimit);
}

StepOutcome TFilePipeline::ProcessFile(int row, const std::string& rowPath, std::uint32_t setMask) {
    FileContext file{row, rowPath, host_.ReadOptions(), setMask};
    // A run that changes nothing has nothing to refuse.
    if (!AsksForChange(file.options))
        return StepOutcome::Done();
    if (const std::string why = WhyNotAFile(rowPath); !why.empty()) {
        host_.FileFailed(rowPath, why);
        return {false, why, false};
    }
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
            host_.FileFailed(file.path, outcome.reason);
    }
    return StepOutcome::Done();
}

StepOutcome TFilePipeline::RemoveAttributes(FileContext& file) {
    if (!file.options.removeAttr)
        return StepOutcome::Done();
    if (!engine::RemoveAttributes(file.path, file.options))
        return StepOutcome::Failed(Step::RemoveAttributes, "cannot remove attributes");
    RefreshAttributes(file);
    return StepOutcome::Done();
}

StepOutcome TFilePipeline::DeleteGIFComments(FileContext& file) {
    if (!file.options.deleteGIFExtensions || !HasExtension(file.path, ".gif"))
        return StepOutcome::Done();
    try {
        gif::DeleteGIFComments(image_, file.path);
    } catch (const std::bad_alloc&) {
        return StepOutcome::Failed(Step::DeleteGIFComments, "not enough memory for this image");
    } catch (const std::exception& error) {
        // The GIF subsystem's errors carry the message the user is shown, as it stands.
        return StepOutcome::Failed(Step::DeleteGIFComments, error.what());
    }
    rows_.SetText(file.row, RowText::Size, FormatSize(GetSizeOfFile(file.path)));
    return StepOutcome::Done();
}

StepOutcome TFilePipeline::RenameFromTag(FileContext& file) {
    if (!file.options.id3v1 || !HasExtension(file.path, ".mp3"))
        return StepOutcome::Done();
    return Renamed(file, Step::RenameFromTag, engine::RenameFromTag(file.path, id3_));
}

StepOutcome TFilePipeline::ChangeCase(FileContext& file) {
    if (file.options.caseChange == CaseChange::DontChange)
        return StepOutcome::Done();
    return Renamed(file, Step::ChangeCase,
                   engine::ChangeCase(file.path, rows_.Caption(file.row), file.options.caseChange));
}

StepOutcome TFilePipeline::Renamed(FileContext& file, Step step, const RenameOutcome& outcome) {
    using Status = RenameOutcome::Status;
    if (outcome.status == Status::NotApplicable)
        return StepOutcome::Done();
    if (outcome.status != Status::Renamed)
        return StepOutcome::Failed(step, DescribeFailure(outcome));
    rows_.SetCaption(file.row, outcome.newCaption);
    // The later steps follow the file to its new name, so that times and attributes still
    // reach it.
    file.path = outcome.newPath;
    return StepOutcome::Done();
}

StepOutcome TFilePipeline::SetTimes(FileContext& file) {
    if (file.options.dateChange == DateChange::DoNotChange)
        return StepOutcome::Done();
    const bool written = AssignTimes(file.path, file.options);
    // Rewritten whether or not the write succeeded: the texts show what the file has.
    const auto found = platform::FindPath(file.path);
    rows_.SetText(file.row, RowText::Created, CreatedTextOf(found));
    rows_.SetText(file.row, RowText::Modified, ModifiedTextOf(found));
    rows_.SetText(file.row, RowText::Opened, OpenedTextOf(found));
    return written ? StepOutcome::Done()
                   : StepOutcome::Failed(Step::SetTimes, "the file times could not all be set");
}

StepOutcome TFilePipeline::SetAttributes(FileContext& file) {
    if (!file.options.setAttr)
        return StepOutcome::Done();
    if (!engine::SetAttributes(file.path, file.setMask))
        return StepOutcome::Failed(Step::SetAttributes, "cannot set attributes");
    RefreshAttributes(file);
    return StepOutcome::Done();
}

void TFilePipeline::RefreshAttributes(const FileContext& file) {
    rows_.SetText(file.row, RowText::Attributes,
                  AttrToText(platform::GetFileAttributes(file.path)));
}

std::string RowPath(const IRunRows& rows, int row) {
    return IncludeBackslash(rows.Text(row, RowText::Folder)) + rows.Caption(row);
}

}  // namespace engine
