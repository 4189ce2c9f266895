#pragma once
// The Start/Stop command as an engine without a window: walks the rows in order, picks those
// of the chosen scope, and applies every enabled change to each existing file in a fixed order.

#include <cstdint>
#include <string>

#include "engine/Renaming.h"
#include "engine/RunHost.h"
#include "engine/RunRows.h"
#include "engine/RunScope.h"
#include "gif/GIFDocument.h"

namespace engine {

class TRunEngine {
public:
    TRunEngine(IRunRows& rows, IRunHost& host);

    // The handler of all seven scope items: starts a run when idle; while a run is in
    // progress (a nested call from the host's event processing) it stops that run.
    void btnStartStopClick(RunScope scope);

    // True when no run is in progress.
    bool Idle() const { return idle_; }

private:
    void Run(RunScope scope);
    void Stop();
    void Finish();
    // The pipeline for one file, in its fixed order.
    void ProcessFile(int row, const std::string& rowPath, std::uint32_t setMask);
    void ApplyRename(int row, std::string& path, const RenameOutcome& outcome);
    void RefreshAttributes(int row, const std::string& path);
    void RefreshTimes(int row, const std::string& path);

    IRunRows& rows_;
    IRunHost& host_;
    bool idle_ = true;
    // One image object and one tag reader, reused for every file of every run.
    gif::TGIFDocument image_;
    id3::TID3v1 id3_;
};

// A path names a file the run may process: it exists, is not a folder, and its last-write time
// in local time can be expressed as a DOS date and time (1980 to 2107).
bool IsProcessableFile(const std::string& path);

// The full path of a row: its Folder with a separator, then its Caption.
std::string RowPath(const IRunRows& rows, int row);

}  // namespace engine
