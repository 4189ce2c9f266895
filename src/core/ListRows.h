#pragma once
// The file list as the run engine sees it: the two stand side by side, and the core joins them.

#include "engine/RunRows.h"
#include "filelist/FileList.h"

namespace core {

class TListRows final : public engine::IRunRows {
public:
    explicit TListRows(filelist::TFileList& list) : list_(list) {}

    int RowCount() const override { return list_.RowCount(); }
    bool IsChecked(int row) const override { return list_.IsChecked(row); }
    bool IsSelected(int row) const override { return list_.IsSelected(row); }
    std::string Path(int row) const override { return list_.Path(row); }
    bool FoundAsFile(int row) const override { return list_.FoundAsFile(row); }
    void SetCaption(int row, const std::string& caption) override {
        list_.SetCaption(row, caption);
    }
    void SetSize(int row, std::int64_t size) override { list_.SetSize(row, size); }
    void SetAttributes(int row, std::uint32_t attributes) override {
        list_.SetAttributes(row, attributes);
    }
    void SetTimes(int row, const std::optional<platform::FindData>& found) override {
        list_.SetTimes(row, found);
    }

private:
    filelist::TFileList& list_;
};

}  // namespace core
