#pragma once
// One row of the file list: the file's name, its icon and seven text columns, all snapshots
// taken when the row was built, plus the row's check mark and selection.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/RunRows.h"
#include "platform/FileSystem.h"

namespace filelist {

// What the add-folder commands let AddFileRow add.
enum class AddFolderMode : std::uint8_t { FilesOnly = 0, FilesAndFolders = 1, FoldersOnly = 2 };

struct FileRow {
    std::string caption;  // the file's own name; bytes as stored, not necessarily UTF-8
    int imageIndex = 0;
    std::array<std::string, 7> texts;  // Size, Type, Created, Modified, Opened, Attributes, Folder
    bool checked = false;
    bool selected = false;
    bool folder = false;  // the row is a folder's

    const std::string& Text(engine::RowText column) const {
        return texts[static_cast<std::size_t>(column)];
    }
    std::string& Text(engine::RowText column) { return texts[static_cast<std::size_t>(column)]; }
};

// Builds the row for a path, or nothing when the path cannot be read or the rules exclude it:
// a folder with the system attribute never, a folder only when the mode admits folders, a
// file only when it admits files.
// A link is looked up as `rule` says: followed for a path the user named, taken as itself for a
// find of a folder search.
std::optional<FileRow> MakeFileRow(const std::string& path, AddFolderMode mode,
                                   platform::LinkRule rule = platform::LinkRule::Follow);
// The same from a look-up already made (`found`, or nothing when there was none), so that a
// find of a folder search, which the walk has looked up, is not looked up a second time.
std::optional<FileRow> MakeFileRow(const std::string& path,
                                   const std::optional<platform::FindData>& found,
                                   AddFolderMode mode);

// The folder that holds a path: the path without its last component; "/" for the root.
std::string FolderText(const std::string& path);

}  // namespace filelist
