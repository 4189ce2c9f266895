#pragma once
// A row's file as a run opens it.

#include <optional>
#include <string>

#include "engine/RunOptions.h"
#include "platform/FileHandle.h"

namespace engine {

// A row's file as the run opens it: the handle, with the file already looked up, or the
// reason it could not be opened.
struct OpenedFile {
    std::optional<platform::TFileHandle> handle;
    std::string reason;
};

// A row's file as the run asks for it: its path, and whether the row's look-up of a moment ago
// found a regular file there, which then stands for the check before the file is opened.
struct RowFile {
    std::string path;
    bool foundAsFile = false;
    bool operator==(const RowFile&) const = default;
};

// Opens the file of a row from its folder, opened without following a link anywhere on its
// path (the row's folder was resolved when the row was made): held open in `folders` when
// given. A link met there now was swapped in since, and the file is not opened.
OpenedFile OpenRowFile(const RowFile& row, platform::TOpenFolders* folders = nullptr);

// The file of a row as a plan of `options` needs it, from its folder held in `folders`: where
// the plan reads nothing of the content (attributes and times only, no date inside the file),
// looked at by name and not opened, which costs a look-up instead of an open; else opened.
OpenedFile OpenForPlan(const RowFile& row, const RunOptions& options,
                       platform::TOpenFolders& folders);

}  // namespace engine
