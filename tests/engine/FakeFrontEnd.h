#pragma once
// A list of rows and a front end that record what the engine did, for engine tests.

#include <functional>
#include <string>
#include <vector>

#include "engine/RunHost.h"
#include "engine/RunRows.h"
#include "engine/TymoUtils.h"
#include "filelist/ColumnText.h"

namespace enginetest {

struct Row {
    std::string caption;
    std::string texts[7];
    bool checked = false;
    bool selected = false;
};

class FakeRows : public engine::IRunRows {
public:
    // A row for a file: the folder text is everything before the last "/".
    void Add(const std::string& path, bool checked = false, bool selected = false) {
        Row row;
        const std::size_t slash = path.rfind('/');
        row.caption = path.substr(slash + 1);
        row.texts[6] = path.substr(0, slash);
        row.checked = checked;
        row.selected = selected;
        rows.push_back(row);
    }
    int RowCount() const override { return static_cast<int>(rows.size()); }
    bool IsChecked(int i) const override { return rows[At(i)].checked; }
    bool IsSelected(int i) const override { return rows[At(i)].selected; }
    bool FoundAsFile(int) const override { return false; }
    std::string Path(int i) const override {
        return engine::IncludeBackslash(rows[At(i)].texts[6]) + rows[At(i)].caption;
    }
    void SetCaption(int i, const std::string& c) override { rows[At(i)].caption = c; }
    void SetSize(int i, std::int64_t size) override {
        rows[At(i)].texts[0] = filelist::FormatSize(size);
    }
    void SetAttributes(int i, std::uint32_t attributes) override {
        rows[At(i)].texts[5] = filelist::AttrToText(attributes);
    }
    void SetTimes(int i, const std::optional<platform::FindData>& found) override {
        rows[At(i)].texts[2] = filelist::CreatedTextOf(found);
        rows[At(i)].texts[3] = filelist::ModifiedTextOf(found);
        rows[At(i)].texts[4] = filelist::OpenedTextOf(found);
    }
    std::string AttributesText(int i) const { return rows[At(i)].texts[5]; }

    std::vector<Row> rows;

private:
    static std::size_t At(int i) { return static_cast<std::size_t>(i); }
};

// The front end of a run: its host and the listener of its events.
class FakeHost : public engine::IRunHost, public engine::IRunEvents {
public:
    engine::RunOptions options;
    // Runs inside ProcessMessages (counting calls from 0), which comes before every
    // `pumpEvery`th row: before every row unless told otherwise.
    std::function<void(int call)> onProcessMessages;
    int pumpEvery = 1;

    std::vector<bool> states;
    std::vector<int> positions;
    int progressMax = -1;
    int pageShown = 0;
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::vector<std::string> failures;

    engine::RunOptions ReadOptions() override { return options; }
    bool RowsJustAdded() const override { return false; }
    bool MessagesDue() const override { return rowsAsked_++ % pumpEvery == 0; }
    void ProcessMessages() override {
        if (onProcessMessages)
            onProcessMessages(processCalls_);
        ++processCalls_;
    }
    void RunStateChanged(bool running) override { states.push_back(running); }
    void RunBegins() override { ++pageShown; }
    void ProgressChanged(int position, int maximum) override {
        positions.push_back(position);
        progressMax = maximum;
    }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back(caption + ": " + text);
    }
    void ShowError(const std::string& path, const std::string& message, int filesLeft) override {
        errors.push_back(path + ": " + message + "; " + std::to_string(filesLeft) + " left");
    }
    void FileFailed(const std::string& path, const std::string& reason) override {
        failures.push_back(path + ": " + reason);
    }

private:
    int processCalls_ = 0;
    mutable int rowsAsked_ = 0;
};

}  // namespace enginetest
