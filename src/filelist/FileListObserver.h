#pragma once
// What the file list tells whoever shows it, change by change, so that a view redraws only
// what changed: a search of 100,000 files inserts 100,000 rows, not 100,000 whole lists.

#include "filelist/ListColumn.h"

namespace filelist {

class IFileListObserver {
public:
    virtual ~IFileListObserver() = default;
    // Rows first..last (inclusive) now exist at those indexes.
    virtual void RowsInserted(int first, int last) = 0;
    // Rows first..last (inclusive, counted before the removal) are gone.
    virtual void RowsRemoved(int first, int last) = 0;
    // One part of one row changed; a check mark or selection counts as the Name column.
    virtual void RowChanged(int row, ListColumn column) = 0;
    // The rows stay the same but their order changed.
    virtual void RowsMoved() = 0;
};

}  // namespace filelist
