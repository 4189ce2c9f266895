#pragma once
// The order in which image data holds the rows of an image: top to bottom, or the four
// interlace passes (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

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

enum class TRowOrder { Data, Natural };

// Moves the rows of an interlaced image, in place, from the order its data holds them to top
// to bottom (`to` Natural), or back (`to` Data). One row of scratch instead of a second image:
// a frame can be as large as the whole file's pixels.
inline void ReorderInterlacedRows(std::uint8_t* pixels, int width, int height, TRowOrder to) {
    const auto rows = static_cast<std::size_t>(height);
    std::vector<std::size_t> target(rows);  // where the row at each position goes
    std::size_t dataIndex = 0;
    ForEachRowRun(height, true, [&](int y, std::size_t) {
        const auto natural = static_cast<std::size_t>(y);
        if (to == TRowOrder::Natural) {
            target[dataIndex++] = natural;
        } else {
            target[natural] = dataIndex++;
        }
        return true;
    });
    const auto rowBytes = static_cast<std::size_t>(width);
    std::vector<std::uint8_t> carried(rowBytes);
    std::vector<std::uint8_t> displaced(rowBytes);
    std::vector<bool> placed(rows);
    for (std::size_t start = 0; start < rows; ++start) {
        if (placed[start] || target[start] == start)
            continue;
        // Follow the cycle: each row goes where it belongs and picks up the row found there.
        std::memcpy(carried.data(), pixels + start * rowBytes, rowBytes);
        std::size_t at = start;
        do {
            at = target[at];
            std::uint8_t* const row = pixels + at * rowBytes;
            std::memcpy(displaced.data(), row, rowBytes);
            std::memcpy(row, carried.data(), rowBytes);
            carried.swap(displaced);
            placed[at] = true;
        } while (at != start);
    }
}

}  // namespace gif
