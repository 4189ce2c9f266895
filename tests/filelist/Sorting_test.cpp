#include "filelist/Sorting.h"

#include <gtest/gtest.h>

#include <array>
#include <ctime>

#include "platform/FileSystem.h"
#include "platform/ShellInfo.h"
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
    // Rows whose order differs in every column, so that one column sorted by another's value
    // shows. A folder's type name comes before nothing: rows without a known type go first.
    const int folderKind = platform::ShellKindOf("", true);
    ASSERT_FALSE(platform::TypeNameOfKind(folderKind).empty()) << "the desktop's type names";
    const auto mixedRow = [&](const char* name, const char* folder, std::int64_t size,
                              bool isFolder, std::uint32_t attributes,
                              std::array<int, 3> createdModifiedOpened) {
        FileRow row = Row(name, folder, size);
        if (isFolder)
            row.SetKind(folderKind);
        row.SetAttributes(attributes);
        platform::FindData found;
        found.creationTime = At(k20050304 + createdModifiedOpened[0] * kDay);
        found.lastWriteTime = At(k20050304 + createdModifiedOpened[1] * kDay);
        found.lastAccessTime = At(k20050304 + createdModifiedOpened[2] * kDay);
        row.SetTimes(found);
        return row;
    };
    const std::vector<FileRow> mixed = {
        mixedRow("a", "/2", 4, true, platform::kAttrHidden, {2, 1, 2}),
        mixedRow("b", "/4", 3, true, 0, {1, 3, 4}),
        mixedRow("c", "/1", 2, false, platform::kAttrReadOnly, {4, 2, 3}),
        mixedRow("d", "/3", 1, false, platform::kAttrArchive, {3, 4, 1}),
    };
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
        {"Name", mixed, {ListColumn::Name, true, false}, "a b c d "},
        {"Size", mixed, {ListColumn::Size, true, false}, "d c b a "},
        {"Type", mixed, {ListColumn::Type, true, false}, "c d a b "},
        {"Created", mixed, {ListColumn::Created, true, false}, "b a d c "},
        {"Modified", mixed, {ListColumn::Modified, true, false}, "a c b d "},
        {"Opened", mixed, {ListColumn::Opened, true, false}, "d a c b "},
        {"Attributes", mixed, {ListColumn::Attributes, true, false}, "b d a c "},
        {"Folder", mixed, {ListColumn::Folder, true, false}, "c a d b "},
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
