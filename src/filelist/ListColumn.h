#pragma once
// The columns of the file list, in the order the list shows them. The same numbering serves
// the window's columns, the sort, a listing's fields and the settings' column widths.

namespace filelist {

enum class ListColumn { Name = 0, Size, Type, Created, Modified, Opened, Attributes, Folder };

inline constexpr int kListColumnCount = static_cast<int>(ListColumn::Folder) + 1;

}  // namespace filelist
