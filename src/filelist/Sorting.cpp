#include "filelist/Sorting.h"

#include <charconv>
#include <cstdint>
#include <optional>

#include "engine/TymoUtils.h"
#include "platform/FileSystem.h"

namespace filelist {
namespace {

using engine::RowText;

unsigned char FoldAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// One row's key for the sorted column, read once per sort instead of once per comparison.
struct SortKey {
    bool valid = true;  // false: the text could not be read; equal to every row
    std::string text;
    std::int64_t number = 0;
    double date = 0;
};

std::optional<std::int64_t> ReadSize(std::string text, const std::string& separator) {
    if (!separator.empty()) {
        for (std::size_t at = text.find(separator); at != std::string::npos;
             at = text.find(separator, at))
            text.erase(at, separator.size());
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

const SortKey kUnreadable{false, {}, 0, 0};

SortKey DateKey(const std::string& text, bool cutAtTime, const SortFormats& formats) {
    SortKey key;
    std::string date = text;
    if (cutAtTime) {
        const std::size_t blanks = text.find("  ");
        if (blanks == std::string::npos)
            return kUnreadable;
        date = text.substr(0, blanks);
    }
    const auto parsed = engine::ParseShortDate(date, formats.shortDate, formats.currentYear);
    if (text.empty() || !parsed)
        return kUnreadable;
    key.date = *parsed;
    return key;
}

SortKey KeyOf(const FileRow& row, const SortRequest& request, const SortFormats& formats) {
    switch (request.column) {
        case 0:
            return {true,
                    request.withFolderName
                        ? row.Text(RowText::Folder) + platform::kPathSeparator + row.caption
                        : row.caption,
                    0, 0};
        case 1: {
            const auto size = ReadSize(row.Text(RowText::Size), formats.thousandSeparator);
            return size ? SortKey{true, {}, *size, 0} : kUnreadable;
        }
        case 2:
            return {true, row.Text(RowText::Type) + " " + row.caption, 0, 0};
        case 3:
            return DateKey(row.Text(RowText::Created), true, formats);
        case 4:
            return DateKey(row.Text(RowText::Modified), true, formats);
        case 5:
            return DateKey(row.Text(RowText::Opened), false, formats);
        case 6:
            return {true, row.Text(RowText::Attributes), 0, 0};
        default:
            return {true, row.Text(RowText::Folder), 0, 0};
    }
}

template <typename T>
int Sign(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareKeys(const SortKey& a, const SortKey& b, int column) {
    if (!a.valid || !b.valid)
        return 0;
    if (column == 1)
        return Sign(a.number, b.number);
    if (column >= 3 && column <= 5)
        return Sign(a.date, b.date);
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

std::vector<int> SortedOrder(const std::vector<FileRow>& rows, const SortRequest& request,
                             const SortFormats& formats) {
    std::vector<SortKey> keys;
    keys.reserve(rows.size());
    for (const FileRow& row : rows) {
        keys.push_back(KeyOf(row, request, formats));
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
