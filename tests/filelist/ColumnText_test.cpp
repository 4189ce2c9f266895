#include "filelist/ColumnText.h"

#include <gtest/gtest.h>

#include "platform/ShellInfo.h"
#include "support/LocaleScope.h"
#include "support/TempDir.h"

namespace filelist {
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

TEST(ColumnTextTest, AttributeLettersInFixedOrder) {
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

TEST(ColumnTextTest, SizesAreWholeNumbersWithTheLocaleSeparator) {
    LocaleScope scope("en_US.UTF-8", "UTC");
    if (!scope.Available())
        GTEST_SKIP() << "en_US.UTF-8 is not generated";
    EXPECT_EQ(FormatSize(0), "0");
    EXPECT_EQ(FormatSize(999), "999");
    EXPECT_EQ(FormatSize(1234567), "1,234,567");
    EXPECT_EQ(FormatSize(5368709120), "5,368,709,120");
    EXPECT_EQ(FormatSize(-1), "-1");

}

TEST(ColumnTextTest, TimeTextsFollowTheLocale) {
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

TEST(ColumnTextTest, TypeNameByExtensionAndFolderBit) {
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
}  // namespace filelist
