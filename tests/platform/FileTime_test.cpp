#include "platform/FileTime.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace platform {
namespace {

TEST(FileTimeTest, SplitsAndJoinsCalendarParts) {
    const SystemTime cases[] = {
        {1601, 1, 1, 0, 0, 0, 0},       {1970, 1, 1, 0, 0, 0, 0},
        {2004, 2, 29, 13, 47, 59, 900}, {2099, 12, 31, 23, 59, 59, 999},
        {1899, 12, 30, 12, 0, 0, 0},
    };
    for (const SystemTime& t : cases) {
        FileTime ft = 0;
        ASSERT_TRUE(SystemTimeToFileTime(t, ft));
        SystemTime back;
        ASSERT_TRUE(FileTimeToSystemTime(ft, back));
        EXPECT_EQ(back.year, t.year);
        EXPECT_EQ(back.month, t.month);
        EXPECT_EQ(back.day, t.day);
        EXPECT_EQ(back.hour, t.hour);
        EXPECT_EQ(back.minute, t.minute);
        EXPECT_EQ(back.second, t.second);
        EXPECT_EQ(back.milliseconds, t.milliseconds);
    }
    FileTime ignored;
    EXPECT_FALSE(SystemTimeToFileTime({2003, 2, 29, 0, 0, 0, 0}, ignored));
    EXPECT_FALSE(SystemTimeToFileTime({2004, 13, 1, 0, 0, 0, 0}, ignored));
}

TEST(FileTimeTest, UnixEpochIsKnownValue) {
    FileTime ft = 0;
    ASSERT_TRUE(UnixToFileTime({0, 0}, ft));
    EXPECT_EQ(ft, 116'444'736'000'000'000ull);
    const timespec back = FileTimeToUnix(ft + 15);
    EXPECT_EQ(back.tv_sec, 0);
    EXPECT_EQ(back.tv_nsec, 1500);
}

TEST(FileTimeTest, DosFormRoundsSecondsDownAndKeepsItsRange) {
    FileTime ft = 0;
    ASSERT_TRUE(SystemTimeToFileTime({2004, 2, 29, 13, 47, 59, 900}, ft));
    std::uint16_t date = 0, time = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(ft, date, time));
    EXPECT_EQ(date, (24 << 9) | (2 << 5) | 29);
    EXPECT_EQ(time, (13 << 11) | (47 << 5) | 29);
    FileTime back = 0;
    ASSERT_TRUE(DosDateTimeToFileTime(date, time, back));
    SystemTime parts;
    FileTimeToSystemTime(back, parts);
    EXPECT_EQ(parts.second, 58);
    EXPECT_EQ(parts.milliseconds, 0);

    ASSERT_TRUE(SystemTimeToFileTime({1979, 12, 31, 23, 59, 59, 0}, ft));
    EXPECT_FALSE(FileTimeToDosDateTime(ft, date, time));
    ASSERT_TRUE(SystemTimeToFileTime({2107, 12, 31, 0, 0, 0, 0}, ft));
    EXPECT_TRUE(FileTimeToDosDateTime(ft, date, time));
    // Zero is no valid DOS date: month and day 0.
    EXPECT_FALSE(DosDateTimeToFileTime(0, 0, back));
}

FileTime At(const SystemTime& parts) {
    FileTime ft = 0;
    EXPECT_TRUE(SystemTimeToFileTime(parts, ft));
    return ft;
}

TEST(FileTimeTest, LocalTimeUsesTheOffsetInForceAtThatDate) {
    testsupport::ScopedEnv tz("TZ", "Europe/Berlin");
    struct Case {
        SystemTime local;  // as set by the user
        SystemTime utc;
        SystemTime shown;  // the local time that UTC value reads as
    };
    const Case cases[] = {
        {{2004, 7, 1, 12, 0, 0, 0}, {2004, 7, 1, 10, 0, 0, 0}, {2004, 7, 1, 12, 0, 0, 0}},
        {{2004, 12, 1, 12, 0, 0, 0}, {2004, 12, 1, 11, 0, 0, 0}, {2004, 12, 1, 12, 0, 0, 0}},
        // Germany kept no summer time in 1970.
        {{1970, 7, 1, 12, 0, 0, 0}, {1970, 7, 1, 11, 0, 0, 0}, {1970, 7, 1, 12, 0, 0, 0}},
        // The hour skipped at 02:00 on 2004-03-28 counts by the winter offset.
        {{2004, 3, 28, 2, 30, 0, 0}, {2004, 3, 28, 1, 30, 0, 0}, {2004, 3, 28, 3, 30, 0, 0}},
        {{2004, 3, 28, 12, 0, 0, 0}, {2004, 3, 28, 10, 0, 0, 0}, {2004, 3, 28, 12, 0, 0, 0}},
        // The hour repeated after 03:00 on 2004-10-31 is taken at its first, summer showing.
        {{2004, 10, 31, 2, 30, 0, 0}, {2004, 10, 31, 0, 30, 0, 0}, {2004, 10, 31, 2, 30, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.local.year << "-" << c.local.month << "-"
                                        << c.local.day << " " << c.local.hour);
        FileTime utc = 0;
        ASSERT_TRUE(LocalFileTimeToFileTime(At(c.local), utc));
        EXPECT_EQ(utc, At(c.utc));
        FileTime shown = 0;
        ASSERT_TRUE(FileTimeToLocalFileTime(utc, shown));
        EXPECT_EQ(shown, At(c.shown));
    }
    // No time before 1601 exists.
    FileTime utc = 0;
    EXPECT_FALSE(LocalFileTimeToFileTime(kTicksPerSecond, utc));
}

// Every second gets the offset its zone gives it, in an hour whose offset changes at an odd
// moment as well, and after TZ names another zone.
TEST(FileTimeTest, OffsetFromUtcOfEachSecond) {
    testsupport::ScopedEnv tz("TZ", "UTC");
    struct Case {
        const char* zone;
        SystemTime utc;
        long offset;
    };
    const Case cases[] = {
        // Berlin's local mean time gave way to zone time at 23:06:32 UTC.
        {"Europe/Berlin", {1893, 3, 31, 23, 0, 0, 0}, 3208},
        {"Europe/Berlin", {1893, 3, 31, 23, 6, 32, 0}, 3600},
        {"Europe/Berlin", {1893, 3, 31, 23, 6, 31, 0}, 3208},
        // Summer time from 01:00 UTC, and by the rule the zone keeps for ever after.
        {"Europe/Berlin", {2004, 3, 28, 0, 59, 59, 0}, 3600},
        {"Europe/Berlin", {2004, 3, 28, 1, 0, 0, 0}, 7200},
        {"Europe/Berlin", {2200, 7, 1, 12, 0, 0, 0}, 7200},
        // Lord Howe Island moves by half an hour, at half past an hour of UTC.
        {"Australia/Lord_Howe", {2023, 9, 30, 15, 0, 0, 0}, 37800},
        {"Australia/Lord_Howe", {2023, 9, 30, 15, 30, 0, 0}, 39600},
        {"America/New_York", {2200, 7, 1, 12, 0, 0, 0}, -14400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zone << " " << c.utc.year << " " << c.utc.hour);
        setenv("TZ", c.zone, 1);
        long offset = 0;
        ASSERT_TRUE(UtcOffsetAt(FileTimeToUnix(At(c.utc)).tv_sec, offset));
        EXPECT_EQ(offset, c.offset);
    }
}

}  // namespace
}  // namespace platform
