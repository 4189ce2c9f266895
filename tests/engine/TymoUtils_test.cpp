#include "engine/TymoUtils.h"

#include <gtest/gtest.h>

#include "platform/ShellInfo.h"
#include "support/LocaleScope.h"
#include "support/TempDir.h"

namespace engine {
namespace {

using testsupport::LocaleScope;
using testsupport::TempDir;

// Sets a file's three times to one local moment, to the second.
void SetLocalTimes(const std::string& path, int y, int mo, int d, int h, int mi, int s) {
    platform::FileTime local = 0, utc = 0;
    ASSERT_TRUE(platform::SystemTimeToFileTime({y, mo, d, h, mi, s, 0}, local));
    ASSERT_TRUE(platform::LocalFileTimeToFileTime(local, utc));
    ASSERT_TRUE(platform::SetFileTimes(path, {utc, utc, utc}));
}

TEST(TymoUtilsTest, AttributeLettersInFixedOrder) {
    const struct {
        std::uint32_t value;
        const char* text;
    } cases[] = {
        {0x21, "RA"}, {0x10, "D"},          {0x927, "RHSACT"},
        {0, ""},      {0x80 | 0x40000, ""}, {0x10 | 0x02 | 0x04, "DHS"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AttrToText(c.value), c.text) << std::hex << c.value;
}

TEST(TymoUtilsTest, DosEncodingOfDateAndTime) {
    const TDateTime date = EncodeDate(2004, 2, 29);
    const TDateTime time = EncodeTime(13, 47, 59, 900);
    const std::uint32_t dos = DateTimeToDos(date, time);
    EXPECT_EQ(dos & 0xFFFF, 13u * 2048 + 47 * 32 + 29);
    EXPECT_EQ(dos >> 16, 24u * 512 + 2 * 32 + 29);

    EXPECT_EQ(DateTimeToDos(EncodeDate(1979, 12, 31), time), 0u);
    EXPECT_EQ(DateTimeToDos(EncodeDate(2100, 1, 1), time), 0u);
    EXPECT_EQ(DateTimeToDos(EncodeDate(1980, 1, 1), 0), 33u << 16);
    EXPECT_NE(DateTimeToDos(EncodeDate(2099, 12, 31), 0), 0u);
    // A time argument contributes its time of day only, a date argument its date only.
    EXPECT_EQ(DateTimeToDos(date + 0.75, time + 5), dos);
    EXPECT_EQ(DateToDos(date + 0.75), dos & 0xFFFF0000u);
}

TEST(TymoUtilsTest, TextHelpers) {
    EXPECT_EQ(IncludeBackslash("/data"), "/data/");
    EXPECT_EQ(IncludeBackslash("/"), "/");
    EXPECT_EQ(IncludeBackslash(""), "/");
    EXPECT_EQ(StripAmpersand("&Save && go"), "Save && go");
    EXPECT_EQ(StripAmpersand("none"), "none");
    EXPECT_EQ(GetWindowsVersion(), 0);
}

TEST(TymoUtilsTest, SizesAreWholeNumbersInSixtyFourBits) {
    LocaleScope scope("en_US.UTF-8", "UTC");
    if (!scope.Available())
        GTEST_SKIP() << "en_US.UTF-8 is not generated";
    EXPECT_EQ(FormatSize(0), "0");
    EXPECT_EQ(FormatSize(999), "999");
    EXPECT_EQ(FormatSize(1234567), "1,234,567");
    EXPECT_EQ(FormatSize(5368709120), "5,368,709,120");
    EXPECT_EQ(FormatSize(-1), "-1");

    TempDir dir;
    const std::string big = dir / "sparse.bin";
    { std::ofstream touch(big); }
    ASSERT_EQ(truncate(big.c_str(), 5368709120), 0);  // sparse: takes no disk space
    EXPECT_EQ(GetSizeOfFile(big), 5368709120);
    EXPECT_EQ(GetSizeOfFile(dir / "missing"), -1);
    EXPECT_EQ(GetSizeOfFile(dir.Path()), 0);
}

TEST(TymoUtilsTest, TimeTextsFollowTheLocale) {
    TempDir dir;
    const std::string file = dir.Write("t.txt");
    {
        LocaleScope scope("de_DE.UTF-8", "CET-1");
        if (!scope.Available())
            GTEST_SKIP() << "de_DE.UTF-8 is not generated";
        SetLocalTimes(file, 2004, 2, 29, 9, 5, 37);
        EXPECT_EQ(GetModifiedText(file), "29.02.2004  09:05");
        EXPECT_EQ(GetCreatedText(file), "29.02.2004  09:05");
        EXPECT_EQ(GetOpenedText(file), "29.02.2004");
        EXPECT_EQ(FormatSize(1234567), "1.234.567");
    }
    {
        LocaleScope scope("en_US.UTF-8", "CET-1");
        if (!scope.Available())
            GTEST_SKIP() << "en_US.UTF-8 is not generated";
        EXPECT_EQ(GetModifiedText(file), "02/29/2004  09:05 AM");
        SetLocalTimes(file, 2004, 2, 29, 0, 30, 0);
        EXPECT_EQ(GetModifiedText(file), "02/29/2004  12:30 AM");
        SetLocalTimes(file, 2004, 2, 29, 13, 47, 59);
        EXPECT_EQ(GetModifiedText(file), "02/29/2004  01:47 PM");
    }
    {
        // The C locale gives "%m/%d/%y" and a 24-hour clock.
        LocaleScope scope("C", "UTC");
        EXPECT_EQ(GetModifiedText(file), "02/29/04  12:47");
    }
    EXPECT_EQ(GetModifiedText(dir / "missing"), "");
    EXPECT_EQ(GetOpenedText(dir / "missing"), "");
}

TEST(TymoUtilsTest, TimeValuesAreLocal) {
    LocaleScope scope("C", "EST+5");
    TempDir dir;
    const std::string file = dir.Write("t.txt");
    SetLocalTimes(file, 2003, 5, 1, 10, 0, 0);
    EXPECT_DOUBLE_EQ(GetModifiedTime(file), EncodeDate(2003, 5, 1) + EncodeTime(10, 0, 0));
    EXPECT_DOUBLE_EQ(GetOpenedDate(file), EncodeDate(2003, 5, 1));
    EXPECT_DOUBLE_EQ(GetModifiedTime(dir / "missing"), 0);
}

TEST(TymoUtilsTest, SettingTimesRoundsToTwoSecondsAndSkipsUnencodableValues) {
    LocaleScope scope("C", "UTC");
    TempDir dir;
    const std::string file = dir.Write("t.txt");
    ASSERT_TRUE(platform::SetFileTimes(
        file, AllFileTimes(EncodeDate(2004, 2, 29), EncodeTime(13, 47, 59, 900))));
    const TDateTime expected = EncodeDate(2004, 2, 29) + EncodeTime(13, 47, 58);
    EXPECT_DOUBLE_EQ(GetCreatedTime(file), expected);
    EXPECT_DOUBLE_EQ(GetModifiedTime(file), expected);
    EXPECT_DOUBLE_EQ(GetOpenedDate(file), EncodeDate(2004, 2, 29));

    // A creation date of 1975 cannot be encoded: that one time stays, the others are written.
    ASSERT_TRUE(
        platform::SetFileTimes(file, FileTimesOf(EncodeDate(1975, 1, 1), 0, EncodeDate(2005, 6, 1),
                                                 EncodeTime(8, 0, 1), EncodeDate(2005, 6, 2))));
    EXPECT_DOUBLE_EQ(GetCreatedTime(file), expected);
    EXPECT_DOUBLE_EQ(GetModifiedTime(file), EncodeDate(2005, 6, 1) + EncodeTime(8, 0, 0));
    EXPECT_DOUBLE_EQ(GetOpenedDate(file), EncodeDate(2005, 6, 2));
}

TEST(TymoUtilsTest, ShortDatesAreReadBackWithTheirPattern) {
    const struct {
        const char* text;
        const char* pattern;
        TDateTime expected;  // 0: not a date of that pattern
    } cases[] = {
        {"3/4/05", "m/d/yy", EncodeDate(2005, 3, 4)},
        {"04.03.2005", "dd.mm.yyyy", EncodeDate(2005, 3, 4)},
        {"12/31/80", "mm/dd/yy", EncodeDate(1980, 12, 31)},  // within fifty years of 2026
        {"2005-03-04", "yyyy-mm-dd", EncodeDate(2005, 3, 4)},
        {"3-4-05", "m/d/yy", 0},
        {"13/1/05", "m/d/yy", 0},
        {"3/4/05 x", "m/d/yy", 0},
        {"", "m/d/yy", 0},
    };
    for (const auto& c : cases) {
        const std::optional<TDateTime> parsed = ParseShortDate(c.text, c.pattern, 2026);
        EXPECT_EQ(parsed.value_or(0), c.expected) << c.text << " " << c.pattern;
    }
}

TEST(TymoUtilsTest, TypeNameByExtensionAndFolderBit) {
    TempDir dir;
    const std::string text = dir.Write("notes.txt", "not really text \x01");
    const std::string fake = dir.Write("picture.png", "plain words");
    EXPECT_EQ(GetTypeName(text), GetTypeName(dir / "other.txt"));
    EXPECT_NE(GetTypeName(fake), GetTypeName(text));  // decided by the name, not the content
    EXPECT_FALSE(GetTypeName(dir.Path()).empty());
    EXPECT_NE(GetTypeName(dir.Path()), GetTypeName(text));
    EXPECT_LE(GetTypeName(text).size(), 80u);
    EXPECT_EQ(GetIconIndex(text, 0), GetIconIndex(dir / "b.txt", 0));
    // The window turns the index into a theme icon.
    EXPECT_FALSE(platform::IconNameAt(GetIconIndex(text, 0)).empty());
    EXPECT_NE(platform::IconNameAt(GetIconIndex(dir.Path(), platform::kAttrDirectory)),
              platform::IconNameAt(GetIconIndex(text, 0)));
    EXPECT_EQ(platform::IconNameAt(-1), "");
}

}  // namespace
}  // namespace engine
