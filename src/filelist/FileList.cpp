#include "filelist/FileList.h"

namespace filelist {

bool TFileList::AddFileRow(const std::string& path) {
    std::optional<FileRow> row = MakeFileRow(path, addFolderMode);
    if (!row)
        return false;
    rows_.push_back(std::move(*row));
    Changed();
    return true;
}

void TFileList::SetChecked(int row, bool checked) {
    MutableRow(row).checked = checked;
    Changed();
}

void TFileList::SetSelected(int row, bool selected) {
    MutableRow(row).selected = selected;
    Changed();
}

void TFileList::Clear() {
    rows_.clear();
    Changed();
}

std::string TFileList::ObjectCountText() const {
    return std::to_string(rows_.size()) + " object(s)";
}

void TFileList::SetCaption(int row, const std::string& caption) {
    MutableRow(row).caption = caption;
    Changed();
}

void TFileList::SetText(int row, engine::RowText column, const std::string& text) {
    MutableRow(row).Text(column) = text;
    Changed();
}

void TFileList::Changed() const {
    if (onChange)
        onChange();
}

}  // namespace filelist
