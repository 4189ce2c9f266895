#include "filelist/Sorting.h"

#include <gtest/gtest.h>

namespace filelist {
namespace {

using engine::RowText;

FileRow Row(const std::string& name, const std::string& folder = "/f",
            const std::string& size = "1", const std::string& modified = "") {
    FileRow row;
    row.caption = name;
    row.Text(RowText::Folder) = folder;
    row.Text(RowText::Size) = size;
    row.Text(RowText::Modified) = modified;
    return row;
}

// The captions in sorted order.
std::string Sorted(const std::vector<FileRow>& rows, SortRequest request) {
    const SortFormats formats{"mm/dd/yyyy", ",", 2026};
    std::string out;
    for (const int index : SortedOrder(rows, request, formats))
        out += rows[static_cast<std::size_t>(index)].caption + " ";
    return out;
}

TEST(SortingTest, EachColumnComparesItsOwnWay) {
    const struct {
        const char* label;
        std::vector<FileRow> rows;
        SortRequest request;
        const char* expected;
    } cases[] = {
        {"names ignore ASCII case", {Row("C"), Row("b"), Row("A")}, {0, true, false}, "A b C "},
        {"descending", {Row("C"), Row("b"), Row("A")}, {0, false, false}, "C b A "},
        {"the whole path with the folder option",
         {Row("a.txt", "/B"), Row("z.txt", "/A")},
         {0, true, true},
         "z.txt a.txt "},
        {"sizes as numbers, 64-bit",
         {Row("big", "/f", "5,368,709,120"), Row("ten", "/f", "10,000"),
          Row("nine", "/f", "9,999")},
         {1, true, false},
         "nine ten big "},
        {"the same day is equal, whatever the time; the order stays",
         {Row("late", "/f", "1", "03/04/2005  11:00 PM"),
          Row("early", "/f", "1", "03/04/2005  01:00 AM"),
          Row("older", "/f", "1", "12/31/2004  10:00 AM")},
         {4, true, false},
         "older late early "},
        {"an empty date equals every row",
         {Row("b", "/f", "1", "03/04/2005  11:00 PM"), Row("empty")},
         {4, false, false},
         "b empty "},
        {"a size that is no number equals every row",
         {Row("b", "/f", "12"), Row("odd", "/f", "1x")},
         {1, false, false},
         "b odd "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sorted(c.rows, c.request), c.expected) << c.label;
}

TEST(SortingTest, CompareTextFoldsOnlyAsciiLetters) {
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_GT(CompareText("\xc3\xa9", "z"), 0);  // é is compared by its bytes, after Z
    EXPECT_GT(CompareText("_", "a"), 0);         // a is folded to A (0x41), before _ (0x5F)
}

}  // namespace
}  // namespace filelist
