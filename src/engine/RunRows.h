#pragma once
// What the run engine needs of the file list: rows by index, their marks, name and texts.

#include <string>

namespace engine {

// The text columns of a row, by index.
enum class RowText {
    Size = 0,
    Type = 1,
    Created = 2,
    Modified = 3,
    Opened = 4,
    Attributes = 5,
    Folder = 6
};

class IRunRows {
public:
    virtual ~IRunRows() = default;
    virtual int RowCount() const = 0;
    virtual bool IsChecked(int row) const = 0;
    virtual bool IsSelected(int row) const = 0;
    virtual std::string Caption(int row) const = 0;
    // Changes the text only; nothing is renamed.
    virtual void SetCaption(int row, const std::string& caption) = 0;
    virtual std::string Text(int row, RowText column) const = 0;
    virtual void SetText(int row, RowText column, const std::string& text) = 0;
};

}  // namespace engine
