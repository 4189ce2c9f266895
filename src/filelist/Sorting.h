#pragma once
// The order of the rows after a sort by one column: the rows' display texts compared, with
// numbers and dates read back out of them where the column needs it.

#include <string>
#include <string_view>
#include <vector>

#include "filelist/FileRow.h"

namespace filelist {

// Bytes compared one by one with a-z folded to A-Z, every other byte by its unsigned value; a
// text that is a prefix of the other sorts first. Not aware of any locale.
int CompareText(std::string_view a, std::string_view b);

struct SortRequest {
    int column = 0;  // 0 Name ... 7 Folder, as the list shows them
    bool ascending = true;
    bool withFolderName = false;  // Name compares the whole path
};

// What the texts of the list are read back with.
struct SortFormats {
    std::string shortDate;          // the short date pattern the dates were written with
    std::string thousandSeparator;  // removed from sizes before they are read
    int currentYear = 2000;         // two-digit years are taken within fifty years of it
};

// The indexes of `rows` in their sorted order. Rows that compare equal keep their order; a
// text that cannot be read as its column's number or date compares equal to every row.
std::vector<int> SortedOrder(const std::vector<FileRow>& rows, const SortRequest& request,
                             const SortFormats& formats);

}  // namespace filelist
