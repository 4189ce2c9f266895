#include "filelist/FileRow.h"

#include "engine/TymoUtils.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/ShellInfo.h"

namespace filelist {

using engine::RowText;

std::string FolderText(const std::string& path) {
    const std::size_t slash = path.rfind(platform::kPathSeparator);
    if (slash == std::string::npos)
        return {};
    // A file in the root folder has the folder "/", which IncludeBackslash leaves as it is.
    return slash == 0 ? std::string(1, platform::kPathSeparator) : path.substr(0, slash);
}

std::optional<FileRow> MakeFileRow(const std::string& path, AddFolderMode mode,
                                   platform::LinkRule rule) {
    // One look-up serves every column: the texts are a snapshot of the same moment.
    return MakeFileRow(path, platform::FindPath(path, rule), mode);
}

std::optional<FileRow> MakeFileRow(const std::string& path,
                                   const std::optional<platform::FindData>& found,
                                   AddFolderMode mode) {
    const std::uint32_t a = found ? found->attributes : platform::kInvalidAttributes;
    const bool isFolder = (a & platform::kAttrDirectory) != 0;
    // Unreadable attributes have every bit set, so such a path is dropped here as well.
    if (isFolder && (a & platform::kAttrSystem))
        return std::nullopt;
    if (mode == AddFolderMode::FilesOnly && isFolder)
        return std::nullopt;
    if (mode == AddFolderMode::FoldersOnly && !isFolder)
        return std::nullopt;

    FileRow row;
    row.caption = platform::LastComponent(path);
    row.folder = isFolder;
    // The icon is asked for with the attributes sign-extended from their low 16 bits.
    row.imageIndex = engine::GetIconIndex(path, static_cast<std::int16_t>(a & 0xFFFF));
    row.Text(RowText::Size) = engine::FormatSize(static_cast<std::int64_t>(found->size));
    row.Text(RowText::Type) = platform::TypeNameOf(row.caption, isFolder);
    row.Text(RowText::Created) = engine::CreatedTextOf(found);
    row.Text(RowText::Modified) = engine::ModifiedTextOf(found);
    row.Text(RowText::Opened) = engine::OpenedTextOf(found);
    row.Text(RowText::Attributes) = engine::AttrToText(a);
    row.Text(RowText::Folder) = FolderText(path);
    return row;
}

}  // namespace filelist
