#pragma once
// The order of the rows after a sort by one column: texts compared as the list shows them,
// sizes as numbers and times by their local day, as the date texts show it.

#include <string>
#include <string_view>
#include <vector>

#include "filelist/FileRow.h"
#include "filelist/ListColumn.h"

namespace filelist {

// Bytes compared one by one with a-z folded to A-Z, every other byte by its unsigned value; a
// text that is a prefix of the other sorts first. Not aware of any locale.
int CompareText(std::string_view a, std::string_view b);

struct SortRequest {
    ListColumn column = ListColumn::Name;
    bool ascending = true;
    bool withFolderName = false;  // Name compares the whole path
};

// The indexes of `rows` in their sorted order. Rows that compare equal keep their order; a
// row without the column's time (an empty text) compares equal to every row.
std::vector<int> SortedOrder(const std::vector<FileRow>& rows, const SortRequest& request);

}  // namespace filelist
