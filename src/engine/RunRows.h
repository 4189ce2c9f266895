#pragma once
// What the run engine needs of the file list: rows by index, their marks and names, and the
// values a run changes, which the list shows.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace engine {

class IRunRows {
public:
    virtual ~IRunRows() = default;
    virtual int RowCount() const = 0;
    virtual bool IsChecked(int row) const = 0;
    virtual bool IsSelected(int row) const = 0;
    // The full path of the row's file: its Folder with a separator, then its Caption.
    virtual std::string Path(int row) const = 0;
    // The look-up the row was made from found a regular file.
    virtual bool FoundAsFile(int row) const = 0;
    // Changes the text only; nothing is renamed.
    virtual void SetCaption(int row, const std::string& caption) = 0;
    // What the run last read or wrote of the file; the row's texts follow. The Size column
    // shows -1 for a file that could not be read; an absent look-up empties the three times.
    virtual void SetSize(int row, std::int64_t size) = 0;
    virtual void SetAttributes(int row, std::uint32_t attributes) = 0;
    virtual void SetTimes(int row, const std::optional<platform::FindData>& found) = 0;
};

}  // namespace engine
