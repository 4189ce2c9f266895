#include "filelist/Sorting.h"

#include <cstdint>
#include <optional>

#include "filelist/ColumnText.h"
#include "platform/FileSystem.h"

namespace filelist {
namespace {

unsigned char FoldAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// One row's key for the sorted column, read once per sort instead of once per comparison.
struct SortKey {
    bool valid = true;  // false: the text could not be read; equal to every row
    std::string text;
    std::int64_t number = 0;  // the size, or the day of a time column
};

const SortKey kUnreadable{false, {}, 0};

// Rows of the same day are equal, whatever their times, as their date texts would be.
SortKey DayKey(const std::optional<platform::FileTime>& time) {
    const std::optional<int> day = time ? LocalDayOf(*time) : std::nullopt;
    return day ? SortKey{true, {}, *day} : kUnreadable;
}

SortKey KeyOf(const FileRow& row, const SortRequest& request) {
    switch (request.column) {
        case ListColumn::Name:
            return {true,
                    request.withFolderName ? row.Folder() + platform::kPathSeparator + row.caption
                                           : row.caption,
                    0};
        case ListColumn::Size:
            return {true, {}, row.Size()};
        case ListColumn::Type:
            return {true, row.Text(ListColumn::Type) + " " + row.caption, 0};
        case ListColumn::Created:
            return DayKey(row.Created());
        case ListColumn::Modified:
            return DayKey(row.Modified());
        case ListColumn::Opened:
            return DayKey(row.Opened());
        case ListColumn::Attributes:
            return {true, row.Text(ListColumn::Attributes), 0};
        case ListColumn::Folder:
            return {true, row.Folder(), 0};
    }
    return kUnreadable;
}

template <typename T>
int Sign(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareKeys(const SortKey& a, const SortKey& b, ListColumn column) {
    if (!a.valid || !b.valid)
        return 0;
    if (column == ListColumn::Size || column == ListColumn::Created ||
        column == ListColumn::Modified || column == ListColumn::Opened)
        return Sign(a.number, b.number);
    // Both texts were folded to upper case when the keys were made; memcmp then compares the
    // bytes unsigned, as CompareText does.
    return a.text.compare(b.text) < 0 ? -1 : (b.text.compare(a.text) < 0 ? 1 : 0);
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = FoldAscii(a[i]);
        const unsigned char y = FoldAscii(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return Sign(a.size(), b.size());
}

std::vector<int> SortedOrder(const std::vector<FileRow>& rows, const SortRequest& request) {
    std::vector<SortKey> keys;
    keys.reserve(rows.size());
    for (const FileRow& row : rows) {
        keys.push_back(KeyOf(row, request));
        for (char& c : keys.back().text)
            c = static_cast<char>(FoldAscii(c));
    }
    const auto before = [&](int a, int b) {
        const int r = CompareKeys(keys[static_cast<std::size_t>(a)],
                                  keys[static_cast<std::size_t>(b)], request.column);
        return (request.ascending ? r : -r) < 0;
    };
    // A merge sort of our own: a row that cannot be read equals every other row, which is no
    // strict weak order, and the library's sorts promise nothing (not even to stay inside the
    // range) for such a comparison. Merging only ever compares and copies within bounds.
    std::vector<int> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::vector<int> merged(order.size());
    for (std::size_t width = 1; width < order.size(); width *= 2) {
        for (std::size_t left = 0; left < order.size(); left += 2 * width) {
            const std::size_t mid = std::min(left + width, order.size());
            const std::size_t end = std::min(left + 2 * width, order.size());
            std::size_t i = left, j = mid, out = left;
            while (i < mid && j < end)
                merged[out++] = before(order[j], order[i]) ? order[j++] : order[i++];
            while (i < mid)
                merged[out++] = order[i++];
            while (j < end)
                merged[out++] = order[j++];
        }
        order.swap(merged);
    }
    return order;
}

}  // namespace filelist
