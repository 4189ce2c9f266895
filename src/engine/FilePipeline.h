#pragma once
// The changes a run makes to one file, in their fixed order: remove attributes, delete GIF
// comments, rename after the MP3 tag, change the letter case, set the times, set attributes.
// After each change the row's affected columns are rewritten from the file system.

#include <cstdint>
#include <string>

#include "engine/OpenAhead.h"
#include "engine/Renaming.h"
#include "engine/RunHost.h"
#include "engine/RunRows.h"
#include "engine/StepOutcome.h"
#include "gif/GIFDocument.h"
#include "id3/ID3v1.h"
#include "platform/FileHandle.h"

namespace engine {

class TFilePipeline {
public:
    TFilePipeline(IRunRows& rows, IRunHost& host);

    // Runs every step `options` ask for (at least one) on the file of `row`. A failure that is
    // passed over is named to the host and the next step runs. The result: ok when the file was
    // processed; not ok when it could not be processed at all (already named to the host);
    // endsRun when a failure ends the whole run (not named: the run shows it). `opened`: the
    // file, when it was opened ahead (OpenRowFile); else it is opened here.
    StepOutcome ProcessFile(int row, const RowFile& rowFile, const RunOptions& options,
                            std::uint32_t setMask, std::optional<OpenedFile> opened);

private:
    // The file one run of the pipeline works on.
    struct FileContext {
        int row = 0;
        // Opened once, without following a link; every step reads and changes the file
        // through it, and it follows the file when a step renames it.
        platform::TFileHandle& handle;
        RunOptions options;
        std::uint32_t setMask = 0;
    };
    // Each step checks whether the options ask for it; one that is not asked for is done.
    StepOutcome RemoveAttributes(FileContext& file);
    StepOutcome DeleteGIFComments(FileContext& file);
    StepOutcome RenameFromTag(FileContext& file);
    StepOutcome ChangeCase(FileContext& file);
    StepOutcome SetTimes(FileContext& file);
    StepOutcome SetAttributes(FileContext& file);
    StepOutcome Renamed(FileContext& file, Step step, const RenameOutcome& outcome);
    void RefreshAttributes(const FileContext& file);
    void RefreshTimes(const FileContext& file);

    IRunRows& rows_;
    IRunHost& host_;
    // One image object and one tag reader, reused for every file of every run.
    gif::TGIFDocument image_;
    id3::TID3v1 id3_;
};

}  // namespace engine
