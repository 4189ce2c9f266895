#pragma once
// A row's file as a run opens it.

#include <optional>
#include <string>

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

// The file of a row looked at by name from its folder, held in `folders`, and not opened: all
// that a plan of attributes and times reads.
OpenedFile LookAtRowFile(const RowFile& row, platform::TOpenFolders& folders);

}  // namespace engine
