#pragma once
// The changes a run makes to one file, in their fixed order: remove attributes, delete GIF
// comments, rename after the MP3 tag, change the letter case, set the times, set attributes.
// After each change the values behind the row's affected columns are taken from the file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/FilePlan.h"
#include "engine/Renaming.h"
#include "engine/RowFile.h"
#include "engine/RunOptions.h"
#include "engine/StepOutcome.h"
#include "gif/GIFDocument.h"
#include "id3/ID3v1.h"
#include "platform/FileHandle.h"
#include "platform/RunJournal.h"

namespace engine {

// What the steps learnt of one file for its row: the values its texts are rewritten from, and
// the failures passed over, in their order. The pipeline touches no row, so that a file may be
// processed on another thread and its row brought up to date in its turn.
struct RowUpdate {
    struct Failure {
        std::string path;
        std::string reason;
    };
    std::optional<std::int64_t> size;
    std::optional<std::string> caption;
    std::optional<std::uint32_t> attributes;
    // The three times were read again (times: nullopt when the file could not be looked up).
    bool timesRead = false;
    std::optional<platform::FindData> times;
    std::vector<Failure> failures;
};

struct ProcessedFile {
    // ok when the file was processed; not ok when it could not be processed at all, or was
    // refused part way (the failure is in the update); endsRun when a failure ends the whole
    // run (not in the update: the run shows it).
    StepOutcome outcome;
    RowUpdate update;
};

// What a run asks of one file: the options read at its row's turn, with what is worked out from
// them once for all the rows that share them.
struct FileChanges {
    RunOptions options;
    // The attribute value that "set attributes" writes, taken when the run starts.
    std::uint32_t setMask = 0;
    // The times the options give, in UTC (GivenTimes).
    platform::FileTimesToSet givenTimes;
    // Where each change is recorded before it is made; null: nowhere.
    platform::TRunJournal* journal = nullptr;

    // Takes the options read at a row's turn; what follows from them is worked out again only
    // when they changed. True when they did.
    bool Follow(const RunOptions& current);
};

// A file opened, locked and planned, its change recorded in the journal (not yet synced) once
// Record is called, and not yet changed: a batch of them is recorded with one sync before any of
// them is changed.
struct PreparedFile {
    std::optional<OpenedFile> opened;
    FilePlan plan;
    // Set when the file cannot be changed at all (the failure is in it).
    std::optional<ProcessedFile> failed;
    // Set once the change is recorded in the journal: the file's number there, and the state the
    // change was foreseen to leave.
    struct Journalled {
        std::uint64_t number = 0;
        platform::FileState foreseen;
    };
    std::optional<Journalled> journalled;
    // Where the journal keeps the content a rewrite replaces.
    std::string keepOldAs;
};

class TFilePipeline {
public:
    // Runs every step the options of `changes` ask for (at least one) on the file of `rowFile`. A
    // failure that is passed over goes into the update and the next step runs. `opened`: the file,
    // when the caller opened it (OpenRowFile); else it is opened here. Files whose options change
    // only attributes and times may be processed on several threads at once: those steps use no
    // state of the pipeline.
    ProcessedFile ProcessFile(const RowFile& rowFile, const FileChanges& changes,
                              std::optional<OpenedFile> opened);

    // ProcessFile in three parts, so that a batch of files is recorded before any is changed:
    // Prepare opens (when `opened` is empty), locks and plans; Record adds the planned change to
    // the journal of `changes` (a file that cannot be read for it fails); Apply, once the
    // journal was synced (`recorded`: a failed sync leaves the file unchanged), makes the change,
    // records what it left and closes the file. Closed there, while what the processor holds of
    // the file is fresh: a batch closed at its end finds every one of its files gone cold.
    PreparedFile Prepare(const RowFile& rowFile, const FileChanges& changes,
                         std::optional<OpenedFile> opened);
    void Record(PreparedFile& prepared, const FileChanges& changes);
    ProcessedFile Apply(PreparedFile prepared, const FileChanges& changes,
                        const platform::Result& recorded);

    // What ProcessFile would do to the file `file` holds, found out without changing it: only
    // reads (the tag, a GIF's blocks) go to the file. Like ProcessFile, for one thread at a time
    // unless the options change only attributes and times.
    FilePlan Plan(const platform::TFileHandle& file, const FileChanges& changes);

private:
    // The file one run of the pipeline works on.
    struct FileContext {
        // Opened once, without following a link; every step reads and changes the file
        // through it, and it follows the file when a step renames it.
        platform::TFileHandle& handle;
        const RunOptions& options;
        std::uint32_t setMask = 0;
        const platform::FileTimesToSet& givenTimes;
        RowUpdate& update;
        // Where a rewrite keeps the old content for an undo; empty: nowhere.
        const std::string& keepOldAs;
    };

    // Each step applies what the plan says of it; a step not asked for is done.
    StepOutcome RemoveAttributes(FileContext& file, const FilePlan& plan);
    StepOutcome DeleteGIFComments(FileContext& file, const FilePlan& plan);
    StepOutcome RenameFromTag(FileContext& file, const FilePlan& plan);
    StepOutcome ChangeCase(FileContext& file, const FilePlan& plan);
    StepOutcome SetTimes(FileContext& file, const FilePlan& plan);
    StepOutcome SetAttributes(FileContext& file, const FilePlan& plan);
    StepOutcome Renamed(FileContext& file, Step step, const RenameOutcome& outcome);

    // One image object and one tag reader, reused for every file of every run.
    gif::TGIFDocument image_;
    id3::TID3v1 id3_;
};

}  // namespace engine
