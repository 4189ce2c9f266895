#include "filelist/FileRow.h"

#include "filelist/ColumnText.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/ShellInfo.h"

namespace filelist {

void AppendShownName(std::string_view name, std::string& out) {
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t control = platform::ControlCharacterAt(name, at);
        if (control == 0) {
            out += name[at++];
            continue;
        }
        // Marks that the common fonts hold (the Control Pictures block is in few of them).
        const auto c = static_cast<unsigned char>(name[at]);
        if (c == '\n' || c == '\r')
            out += "\u21B5";  // DOWNWARDS ARROW WITH CORNER LEFTWARDS
        else if (c == '\t')
            out += "\u2192";  // RIGHTWARDS ARROW
        else
            out += "\uFFFD";
        at += control;
    }
}

std::string FileRow::Text(ListColumn column) const {
    std::string text;
    AppendText(column, text);
    return text;
}

void FileRow::AppendText(ListColumn column, std::string& out) const {
    switch (column) {
        case ListColumn::Name:
            AppendShownName(caption, out);
            break;
        case ListColumn::Size:
            AppendSizeText(out, size_, platform::LocaleFormatsOf(sizeFormats_));
            break;
        case ListColumn::Type:
            out += platform::TypeNameOfKind(kind_);
            break;
        case ListColumn::Created:
            if (hasCreated_)
                AppendDateTimeText(out, created_, platform::LocaleFormatsOf(timeFormats_));
            break;
        case ListColumn::Modified:
            if (hasTimes_)
                AppendDateTimeText(out, modified_, platform::LocaleFormatsOf(timeFormats_));
            break;
        case ListColumn::Opened:
            if (hasTimes_)
                AppendDateText(out, opened_, platform::LocaleFormatsOf(timeFormats_));
            break;
        case ListColumn::Attributes:
            AppendAttrText(out, attributes_);
            break;
        case ListColumn::Folder:
            AppendShownName(Folder(), out);
            break;
    }
}

int FileRow::ImageIndex() const {
    return platform::IconIndexOfKind(kind_);
}

std::optional<platform::FileTime> FileRow::Created() const {
    return hasCreated_ ? std::optional(created_) : std::nullopt;
}

std::optional<platform::FileTime> FileRow::Modified() const {
    return hasTimes_ ? std::optional(modified_) : std::nullopt;
}

std::optional<platform::FileTime> FileRow::Opened() const {
    return hasTimes_ ? std::optional(opened_) : std::nullopt;
}

void FileRow::SetSize(std::int64_t size) {
    size_ = size;
    sizeFormats_ = platform::CurrentLocaleGeneration();
}

void FileRow::SetAttributes(std::uint32_t attributes) {
    attributes_ = attributes;
}

void FileRow::SetTimes(const std::optional<platform::FindData>& found) {
    timeFormats_ = platform::CurrentLocaleGeneration();
    hasTimes_ = found.has_value();
    hasCreated_ = found && found->creationTime;
    if (!found)
        return;
    created_ = found->creationTime.value_or(0);
    modified_ = found->lastWriteTime;
    opened_ = found->lastAccessTime;
}

std::string_view FolderText(const std::string& path) {
    const std::size_t slash = path.rfind(platform::kPathSeparator);
    if (slash == std::string::npos)
        return {};
    // A file in the root folder has the folder "/", to which a row's path adds no second one.
    return std::string_view(path).substr(0, slash == 0 ? 1 : slash);
}

std::optional<FileRow> MakeFileRow(const std::string& path, AddFolderMode mode,
                                   platform::LinkRule rule) {
    // One look-up serves every column: the texts are a snapshot of the same moment.
    return MakeFileRow(path, platform::FindPath(path, rule), mode);
}

std::string FileRow::Path() const {
    const std::string& folder = Folder();
    std::string path;
    // One allocation for a path made for every row a run visits.
    path.reserve(folder.size() + 1 + caption.size());
    path = folder;
    if (path.empty() || path.back() != platform::kPathSeparator)
        path += platform::kPathSeparator;
    path += caption;
    return path;
}

std::optional<NotAdded> WhyNoRow(const std::optional<platform::FindData>& found,
                                 AddFolderMode mode) {
    if (!found)
        return NotAdded::Missing;
    const bool isFolder = (found->attributes & platform::kAttrDirectory) != 0;
    // Unreadable attributes have every bit set, so such a path is dropped here as well.
    if (isFolder && (found->attributes & platform::kAttrSystem))
        return NotAdded::SystemFolder;
    if (mode == AddFolderMode::FilesOnly && isFolder)
        return NotAdded::Folder;
    if (mode == AddFolderMode::FoldersOnly && !isFolder)
        return NotAdded::NotFolder;
    return std::nullopt;
}

std::optional<FileRow> MakeFileRow(const std::string& path,
                                   const std::optional<platform::FindData>& found,
                                   AddFolderMode mode) {
    if (WhyNoRow(found, mode))
        return std::nullopt;
    const std::uint32_t a = found->attributes;
    const bool isFolder = (a & platform::kAttrDirectory) != 0;

    FileRow row;
    row.caption = platform::LastComponent(path);
    row.folder = isFolder;
    row.foundAsFile = found->kind == platform::EntryKind::File;
    row.SetKind(platform::ShellKindOf(row.caption, isFolder));
    row.SetSize(static_cast<std::int64_t>(found->size));
    row.SetTimes(found);
    row.SetAttributes(a);
    row.SetFolder(FolderText(path));
    return row;
}

}  // namespace filelist
