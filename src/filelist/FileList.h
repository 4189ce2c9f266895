#pragma once
// The rows of the file list, in display order, with what the run engine and the editing
// commands need of them. No widget: the window shows these rows.

#include <functional>
#include <string>
#include <vector>

#include "engine/RunRows.h"
#include "filelist/FileRow.h"

namespace filelist {

class TFileList : public engine::IRunRows {
public:
    // Appends one row for a full path, or nothing (see MakeFileRow). True when a row was added.
    bool AddFileRow(const std::string& path);

    AddFolderMode addFolderMode = AddFolderMode::FilesOnly;
    // Called whenever a row changes (added, removed, its text, check mark or selection):
    // the status bar's object count follows it.
    std::function<void()> onChange;

    const FileRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    const std::vector<FileRow>& Rows() const { return rows_; }
    void SetChecked(int row, bool checked);
    void SetSelected(int row, bool selected);
    void Clear();

    // "%d object(s)" with the current number of rows.
    std::string ObjectCountText() const;

    // The run engine's view of the rows.
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    bool IsChecked(int row) const override { return Row(row).checked; }
    bool IsSelected(int row) const override { return Row(row).selected; }
    std::string Caption(int row) const override { return Row(row).caption; }
    void SetCaption(int row, const std::string& caption) override;
    std::string Text(int row, engine::RowText column) const override {
        return Row(row).Text(column);
    }
    void SetText(int row, engine::RowText column, const std::string& text) override;

private:
    FileRow& MutableRow(int row) { return rows_[static_cast<std::size_t>(row)]; }
    void Changed() const;

    std::vector<FileRow> rows_;
};

}  // namespace filelist
