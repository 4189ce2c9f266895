#pragma once
// One row of the file list: the file's name and the values its other seven columns show, all
// snapshots taken when the row was built, plus the row's check mark and selection. A text is
// made when it is asked for, with the regional formats in force when its value was taken, so
// a million rows keep a million sets of numbers, not seven million strings.

#include <cstdint>
#include <optional>
#include <string>

#include "filelist/FolderPool.h"
#include "filelist/ListColumn.h"
#include "platform/FileSystem.h"
#include "platform/LocaleFormats.h"

namespace filelist {

// What the add-folder commands let AddFileRow add.
enum class AddFolderMode : std::uint8_t { FilesOnly = 0, FilesAndFolders = 1, FoldersOnly = 2 };

class FileRow {
public:
    std::string caption;  // the file's own name; bytes as stored, not necessarily UTF-8

    // The text of a column as the list shows it; the Name column shows the caption as
    // AppendShownName does.
    std::string Text(ListColumn column) const;
    // The same added to the end of `out`, for a caller that puts many texts together.
    void AppendText(ListColumn column, std::string& out) const;
    int ImageIndex() const;
    // The values behind the texts; a time is absent where its text is empty.
    std::int64_t Size() const { return size_; }
    std::optional<platform::FileTime> Created() const;
    std::optional<platform::FileTime> Modified() const;
    std::optional<platform::FileTime> Opened() const;

    // New values of the file, taken now; an absent look-up empties the time texts.
    void SetSize(std::int64_t size);
    void SetAttributes(std::uint32_t attributes);
    void SetTimes(const std::optional<platform::FindData>& found);
    void SetFolder(std::string_view folder) { folder_ = InternFolder(folder); }
    const std::string& Folder() const { return FolderAt(folder_); }
    // The Folder, a separator and the caption.
    std::string Path() const;
    // The desktop's kind of file (ShellKindOf), which gives the type name and the icon.
    void SetKind(int kind) { kind_ = kind; }

private:
    std::int64_t size_ = 0;
    platform::FileTime created_ = 0;
    platform::FileTime modified_ = 0;
    platform::FileTime opened_ = 0;
    FolderId folder_ = 0;
    std::int32_t kind_ = -1;
    std::uint32_t attributes_ = 0;
    platform::LocaleGeneration sizeFormats_ = 0;
    platform::LocaleGeneration timeFormats_ = 0;
    bool hasCreated_ : 1 = false;
    bool hasTimes_ : 1 = false;

public:
    // Last, so that the marks share one byte with the flags above.
    bool checked : 1 = false;
    bool selected : 1 = false;
    bool folder : 1 = false;  // the row is a folder's
    // The look-up the row was made from found a regular file (not a link, device or folder).
    bool foundAsFile : 1 = false;
};

// Why a path added no row.
enum class NotAdded { Missing, SystemFolder, Folder, NotFolder, OtherVolume };

// Why a path looked up as `found` (nothing when the look-up failed) makes no row under `mode`:
// a folder with the system attribute never does, a folder only when the mode admits folders, a
// file only when it admits files. Nothing when it makes one. The volume is the adder's to judge.
std::optional<NotAdded> WhyNoRow(const std::optional<platform::FindData>& found,
                                 AddFolderMode mode);

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

// A name or folder as the list shows it: a line break shows as "\u21B5", a tab as "\u2192" and
// every other control character (C0, DEL, C1) as "\uFFFD", so that each row stays one line in
// the window and in a listing, and the characters that would not show still take a place.
void AppendShownName(std::string_view name, std::string& out);

// The folder that holds a path: the path without its last component; "/" for the root. A view
// into `path`, which must outlive it.
std::string_view FolderText(const std::string& path);
std::string_view FolderText(std::string&&) = delete;

}  // namespace filelist
