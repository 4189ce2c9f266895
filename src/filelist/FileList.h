#pragma once
// The rows of the file list, in display order, with what the run engine and the editing
// commands need of them. No widget: the window shows these rows and follows their changes.

#include <string>
#include <vector>

#include "filelist/FileListObserver.h"
#include "filelist/FileRow.h"
#include "platform/FileSystem.h"

namespace filelist {

class TFileList {
public:
    // Told of every change from now on; null for none. It must outlive the list or be unset.
    void SetObserver(IFileListObserver* observer) { observer_ = observer; }

    // Appends one row for a full path under the add mode's rules, or nothing (see MakeFileRow).
    // True when a row was added.
    bool AddFileRow(const std::string& path, AddFolderMode mode,
                    platform::LinkRule rule = platform::LinkRule::Follow);

    // Appends a row made already.
    void AppendRow(FileRow row);

    const FileRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    const std::vector<FileRow>& Rows() const { return rows_; }
    void SetChecked(int row, bool checked);
    void SetSelected(int row, bool selected);

    // The editing commands that change the rows alone; the file system is not touched.
    // Every selected row; returns how many went.
    int RemoveSelected();
    // Every row marked in `doomed` (one flag per row); returns how many went.
    int RemoveRows(const std::vector<bool>& doomed);
    // Every row whose Folder equals that of `row`, letters a-z folded to A-Z; returns how many.
    int RemoveFolderOf(int row);
    void Clear();
    // Puts the rows in the order of `order` (indexes of the rows now); marks move with them.
    void Reorder(const std::vector<int>& order);
    void InvertSelection();
    void InvertChecked();

    // "%d object(s)" with the current number of rows.
    std::string ObjectCountText() const;

    // What a run reads and changes of the rows.
    int RowCount() const { return static_cast<int>(rows_.size()); }
    bool IsChecked(int row) const { return Row(row).checked; }
    bool IsSelected(int row) const { return Row(row).selected; }
    bool FoundAsFile(int row) const { return Row(row).foundAsFile; }
    std::string Path(int row) const { return Row(row).Path(); }
    void SetCaption(int row, const std::string& caption);
    void SetSize(int row, std::int64_t size);
    void SetAttributes(int row, std::uint32_t attributes);
    void SetTimes(int row, const std::optional<platform::FindData>& found);

private:
    FileRow& MutableRow(int row) { return rows_[static_cast<std::size_t>(row)]; }
    // Removes the rows whose index `doomed` holds for, from the last to the first, telling the
    // observer of each run of neighbouring rows at once. Returns how many went.
    template <typename Pred>
    int RemoveRowsWhere(Pred doomed);
    void Changed(int row, ListColumn column);

    std::vector<FileRow> rows_;
    IFileListObserver* observer_ = nullptr;
};

}  // namespace filelist
