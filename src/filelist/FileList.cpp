#include "filelist/FileList.h"

#include "filelist/Sorting.h"

namespace filelist {

bool TFileList::AddFileRow(const std::string& path, AddFolderMode mode, platform::LinkRule rule) {
    std::optional<FileRow> row = MakeFileRow(path, mode, rule);
    if (!row)
        return false;
    AppendRow(std::move(*row));
    return true;
}

void TFileList::AppendRow(FileRow row) {
    rows_.push_back(std::move(row));
    if (observer_)
        observer_->RowsInserted(RowCount() - 1, RowCount() - 1);
}

void TFileList::SetChecked(int row, bool checked) {
    MutableRow(row).checked = checked;
    Changed(row, ListColumn::Name);
}

void TFileList::SetSelected(int row, bool selected) {
    MutableRow(row).selected = selected;
    Changed(row, ListColumn::Name);
}

template <typename Pred>
int TFileList::RemoveRowsWhere(Pred doomed) {
    int removed = 0;
    for (int last = RowCount() - 1; last >= 0; --last) {
        if (!doomed(last))
            continue;
        int first = last;
        while (first > 0 && doomed(first - 1))
            --first;
        rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
        removed += last - first + 1;
        if (observer_)
            observer_->RowsRemoved(first, last);
        last = first;
    }
    return removed;
}

int TFileList::RemoveRows(const std::vector<bool>& doomed) {
    return RemoveRowsWhere([&](int row) {
        return static_cast<std::size_t>(row) < doomed.size() &&
               doomed[static_cast<std::size_t>(row)];
    });
}

int TFileList::RemoveSelected() {
    return RemoveRowsWhere([this](int row) { return Row(row).selected; });
}

int TFileList::RemoveFolderOf(int row) {
    const std::string folder = Row(row).Folder();
    return RemoveRowsWhere(
        [&](int candidate) { return CompareText(Row(candidate).Folder(), folder) == 0; });
}

void TFileList::Clear() {
    if (rows_.empty())
        return;
    const int last = RowCount() - 1;
    rows_.clear();
    if (observer_)
        observer_->RowsRemoved(0, last);
}

void TFileList::Reorder(const std::vector<int>& order) {
    std::vector<FileRow> reordered;
    reordered.reserve(rows_.size());
    for (const int index : order)
        reordered.push_back(std::move(rows_[static_cast<std::size_t>(index)]));
    rows_.swap(reordered);
    if (observer_)
        observer_->RowsMoved();
}

void TFileList::InvertSelection() {
    for (int i = 0; i < RowCount(); ++i)
        SetSelected(i, !Row(i).selected);
}

void TFileList::InvertChecked() {
    for (int i = 0; i < RowCount(); ++i)
        SetChecked(i, !Row(i).checked);
}

std::string TFileList::ObjectCountText() const {
    return std::to_string(rows_.size()) + " object(s)";
}

void TFileList::SetCaption(int row, const std::string& caption) {
    MutableRow(row).caption = caption;
    Changed(row, ListColumn::Name);
}

void TFileList::SetSize(int row, std::int64_t size) {
    MutableRow(row).SetSize(size);
    Changed(row, ListColumn::Size);
}

void TFileList::SetAttributes(int row, std::uint32_t attributes) {
    MutableRow(row).SetAttributes(attributes);
    Changed(row, ListColumn::Attributes);
}

void TFileList::SetTimes(int row, const std::optional<platform::FindData>& found) {
    MutableRow(row).SetTimes(found);
    for (const ListColumn column : {ListColumn::Created, ListColumn::Modified, ListColumn::Opened})
        Changed(row, column);
}

void TFileList::Changed(int row, ListColumn column) {
    if (observer_)
        observer_->RowChanged(row, column);
}

}  // namespace filelist
