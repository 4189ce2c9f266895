#pragma once
// The order in which image data holds the rows of an image: top to bottom, or the four
// interlace passes (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1).

#include <array>
#include <cstddef>
#include <utility>

namespace gif {

// Calls row(firstRow, rowCount) for each run of rows that lie together in the data; a
// non-interlaced image is one run of all its rows. A call that returns false ends the walk.
template <class RowFn>
void ForEachRowRun(int height, bool interlaced, RowFn&& row) {
    if (!interlaced) {
        if (height > 0)
            row(0, static_cast<std::size_t>(height));
        return;
    }
    static constexpr std::array<std::pair<int, int>, 4> kPasses{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
    for (const auto& [first, step] : kPasses) {
        for (int y = first; y < height; y += step) {
            if (!row(y, std::size_t{1}))
                return;
        }
    }
}

}  // namespace gif
