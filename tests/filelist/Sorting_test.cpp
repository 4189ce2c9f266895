#include "filelist/Sorting.h"

#include <gtest/gtest.h>

#include <ctime>

#include "support/TempDir.h"

namespace filelist {
namespace {

// A UTC time given as Unix seconds.
constexpr platform::FileTime At(std::int64_t unixSeconds) {
    return static_cast<platform::FileTime>(unixSeconds + 11'644'473'600) * 10'000'000;
}

FileRow Row(const std::string& name, const std::string& folder = "/f", std::int64_t size = 1,
            std::optional<platform::FileTime> modified = std::nullopt) {
    FileRow row;
    row.caption = name;
    row.SetFolder(folder);
    row.SetSize(size);
    if (modified) {
        platform::FindData found;
        found.lastWriteTime = *modified;
        row.SetTimes(found);
    }
    return row;
}

// The captions in sorted order.
std::string Sorted(const std::vector<FileRow>& rows, SortRequest request) {
    std::string out;
    for (const int index : SortedOrder(rows, request))
        out += rows[static_cast<std::size_t>(index)].caption + " ";
    return out;
}

TEST(SortingTest, EachColumnComparesItsOwnWay) {
    const testsupport::ScopedEnv utc("TZ", "UTC");
    tzset();
    constexpr std::int64_t kDay = 86'400;
    constexpr std::int64_t k20050304 = 1'109'894'400;  // midnight, UTC
    const struct {
        const char* label;
        std::vector<FileRow> rows;
        SortRequest request;
        const char* expected;
    } cases[] = {
        {"names ignore ASCII case",
         {Row("C"), Row("b"), Row("A")},
         {ListColumn::Name, true, false},
         "A b C "},
        {"descending", {Row("C"), Row("b"), Row("A")}, {ListColumn::Name, false, false}, "C b A "},
        {"the whole path with the folder option",
         {Row("a.txt", "/B"), Row("z.txt", "/A")},
         {ListColumn::Name, true, true},
         "z.txt a.txt "},
        {"sizes as numbers, 64-bit",
         {Row("big", "/f", 5'368'709'120), Row("ten", "/f", 10'000), Row("nine", "/f", 9'999)},
         {ListColumn::Size, true, false},
         "nine ten big "},
        {"the same day is equal, whatever the time; the order stays",
         {Row("late", "/f", 1, At(k20050304 + 23 * 3600)),
          Row("early", "/f", 1, At(k20050304 + 3600)),
          Row("older", "/f", 1, At(k20050304 - 2 * kDay))},
         {ListColumn::Modified, true, false},
         "older late early "},
        {"an empty date equals every row",
         {Row("b", "/f", 1, At(k20050304)), Row("empty")},
         {ListColumn::Modified, false, false},
         "b empty "},
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
