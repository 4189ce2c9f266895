#include "engine/RunEngine.h"

#include <exception>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/AttributeSteps.h"
#include "engine/CaseConversion.h"
#include "engine/DateAssign.h"
#include "engine/Renaming.h"
#include "engine/TymoUtils.h"
#include "gif/DeleteGIFComments.h"
#include "gif/GIFException.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"

namespace engine {

namespace {

// A plain read and write around the GIF step until the file side of a rewrite is in place.
void DeleteGIFCommentsOfFile(gif::TGIFDocument& image, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw gif::GIFException("Cannot open file " + path);
    const std::vector<std::uint8_t> original{std::istreambuf_iterator<char>(in),
                                             std::istreambuf_iterator<char>()};
    const auto rewritten = gif::DeleteGIFComments(image, original);
    if (!rewritten)
        return;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(rewritten->data()),
              static_cast<std::streamsize>(rewritten->size()));
    if (!out.flush())
        throw gif::GIFException("Cannot create file " + path);
}

}  // namespace

TRunEngine::TRunEngine(IRunRows& rows, IRunHost& host) : rows_(rows), host_(host) {}

void TRunEngine::btnStartStopClick(RunScope scope) {
    if (idle_) {
        Run(scope);
    } else {
        Stop();
    }
}

void TRunEngine::Run(RunScope scope) {
    if (rows_.RowCount() == 0)
        return;
    idle_ = false;
    host_.RunStateChanged(true);
    if (!ValidateDates(host_.ReadOptions(),
                       [this](const std::string& text, const std::string& caption) {
                           host_.ShowMessage(text, caption);
                       })) {
        Finish();
        return;
    }
    host_.ShowFileListPage();
    const std::uint32_t setMask =
        host_.ReadOptions().setAttr ? SetAttrMask(host_.ReadOptions()) : 0;
    const int count = rows_.RowCount();
    host_.SetProgressMax(count - 1);
    for (int i = 0; i < count; ++i) {
        host_.ProcessMessages();
        if (idle_)
            return;  // a Stop arrived and has already finished the run
        // Rows removed during the run: nothing is left to visit at this index.
        if (i >= rows_.RowCount())
            break;
        if (!IsRowVisited(scope, rows_.IsChecked(i), rows_.IsSelected(i)))
            continue;
        const std::string path = RowPath(rows_, i);
        if (!IsProcessableFile(path))
            continue;
        try {
            ProcessFile(i, path, setMask);
        } catch (const std::exception& error) {
            // The error ends the run; return to idle so that the next pick starts a new run
            // instead of leaving one that only looks active.
            Finish();
            host_.ShowError(path, error.what());
            return;
        }
        host_.SetProgressPosition(i);
    }
    Finish();
}

void TRunEngine::Stop() {
    Finish();
}

void TRunEngine::Finish() {
    host_.SetProgressPosition(0);
    idle_ = true;
    host_.RunStateChanged(false);
}

void TRunEngine::ProcessFile(int row, const std::string& rowPath, std::uint32_t setMask) {
    std::string path = rowPath;
    RunOptions options = host_.ReadOptions();
    if (options.removeAttr) {
        if (RemoveAttributes(path, options)) {
            RefreshAttributes(row, path);
        } else {
            host_.FileFailed(path, "cannot remove attributes");
        }
    }
    if (options.deleteGIFExtensions && platform::AsciiLower(platform::ExtensionOf(path)) == ".gif") {
        // Errors of the GIF subsystem are exceptions; they end the run (see Run).
        DeleteGIFCommentsOfFile(image_, path);
        rows_.SetText(row, RowText::Size, FormatSize(GetSizeOfFile(path)));
    }
    if (options.id3v1 && platform::AsciiLower(platform::ExtensionOf(path)) == ".mp3") {
        ApplyRename(row, path, RenameFromTag(path, id3_));
    }
    if (options.caseChange != CaseChange::DontChange) {
        ApplyRename(row, path, ChangeCase(path, rows_.Caption(row), options.caseChange));
    }
    if (options.dateChange != DateChange::DoNotChange) {
        if (!AssignTimes(path, options))
            host_.FileFailed(path, "the file times could not all be set");
        // Rewritten whether or not the write succeeded: the texts show what the file has.
        RefreshTimes(row, path);
    }
    if (options.setAttr) {
        if (SetAttributes(path, setMask)) {
            RefreshAttributes(row, path);
        } else {
            host_.FileFailed(path, "cannot set attributes");
        }
    }
}

void TRunEngine::ApplyRename(int row, std::string& path, const RenameOutcome& outcome) {
    if (outcome.status == RenameOutcome::Status::Renamed) {
        rows_.SetCaption(row, outcome.newCaption);
        // The later steps follow the file to its new name, so that times and attributes still
        // reach it.
        path = outcome.newPath;
    } else if (outcome.status != RenameOutcome::Status::NotApplicable) {
        host_.FileFailed(path, DescribeFailure(outcome));
    }
}

void TRunEngine::RefreshAttributes(int row, const std::string& path) {
    rows_.SetText(row, RowText::Attributes, AttrToText(platform::GetFileAttributes(path)));
}

void TRunEngine::RefreshTimes(int row, const std::string& path) {
    const auto found = platform::FindPath(path);
    rows_.SetText(row, RowText::Created, CreatedTextOf(found));
    rows_.SetText(row, RowText::Modified, ModifiedTextOf(found));
    rows_.SetText(row, RowText::Opened, OpenedTextOf(found));
}

bool IsProcessableFile(const std::string& path) {
    const std::optional<platform::FileTime> lastWrite = platform::FileLastWriteTime(path);
    platform::FileTime local = 0;
    std::uint16_t dosDate = 0;
    std::uint16_t dosTime = 0;
    return lastWrite && platform::FileTimeToLocalFileTime(*lastWrite, local) &&
           platform::FileTimeToDosDateTime(local, dosDate, dosTime);
}

std::string RowPath(const IRunRows& rows, int row) {
    return IncludeBackslash(rows.Text(row, RowText::Folder)) + rows.Caption(row);
}

}  // namespace engine
