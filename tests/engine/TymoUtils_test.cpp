#include "engine/TymoUtils.h"

#include <gtest/gtest.h>

#include "engine/DosTime.h"
#include "support/LocaleScope.h"
#include "support/TempDir.h"

namespace engine {
namespace {

using testsupport::LocaleScope;
using testsupport::TempDir;

TEST(TymoUtilsTest, IncludeBackslash) {
    EXPECT_EQ(IncludeBackslash("/data"), "/data/");
    EXPECT_EQ(IncludeBackslash("/"), "/");
    EXPECT_EQ(IncludeBackslash(""), "/");
}

TEST(TymoUtilsTest, SizesAreHeldInSixtyFourBits) {
    TempDir dir;
    const std::string big = dir / "sparse.bin";
    { std::ofstream touch(big); }
    ASSERT_EQ(truncate(big.c_str(), 5368709120), 0);  // sparse: takes no disk space
    EXPECT_EQ(GetSizeOfFile(big), 5368709120);
    EXPECT_EQ(GetSizeOfFile(dir / "missing"), -1);
    EXPECT_EQ(GetSizeOfFile(dir.Path()), 0);
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

TEST(TymoUtilsTest, SettingTimesRoundsToTwoSecondsAndSkipsUnencodableValues) {
    LocaleScope scope("C", "EST+5");
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
    EXPECT_DOUBLE_EQ(GetModifiedTime(dir / "missing"), 0);
}

}  // namespace
}  // namespace engine
