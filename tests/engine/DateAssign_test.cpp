#include "engine/DateAssign.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine/TymoUtils.h"
#include "media/PhotoDate.h"
#include "media/SongTag.h"
#include "support/LocaleScope.h"
#include "support/PhotoBytes.h"
#include "support/SongTagBytes.h"
#include "support/TempDir.h"

namespace engine {
namespace {

using testsupport::LocaleScope;
using testsupport::TempDir;

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s);
}

struct Messages {
    std::vector<std::string> shown;
    ShowMessageFn Fn() {
        return [this](const std::string& text, const std::string& caption) {
            shown.push_back(caption + ": " + text);
        };
    }
};

RunOptions Selected(TDateTime date) {
    RunOptions o;
    o.dateChange = DateChange::SetSelected;
    o.date = date;
    return o;
}

// One separate time: whether its box is ticked, and the date typed next to it.
struct Box {
    bool ticked = false;
    TDateTime date = 0;
};

RunOptions Separate(Box created, Box modified = {}, Box opened = {}) {
    RunOptions o;
    o.dateChange = DateChange::SetSeparate;
    o.created = created.ticked;
    o.createdDate = created.date;
    o.modified = modified.ticked;
    o.modifiedDate = modified.date;
    o.opened = opened.ticked;
    o.openedDate = opened.date;
    return o;
}

TEST(ValidateDatesTest, ExaminesOnlyWhatTheModeSays) {
    const std::string error = "Error: Value of year must be great than 1979 and less than 2100.";
    const struct {
        const char* name;
        RunOptions options;
        bool result;
        bool message;
    } cases[] = {
        {"do not change", {}, true, false},
        {"one value 1979", Selected(At(1979, 12, 31)), false, true},
        {"one value 1980", Selected(At(1980, 1, 1)), true, false},
        {"one value 2099", Selected(At(2099, 12, 31)), true, false},
        {"one value 2100", Selected(At(2100, 1, 1)), false, true},
        {"created 1975, modified 2005", Separate({true, At(1975, 1, 1)}, {true, At(2005, 1, 1)}),
         false, true},
        {"created 2005, modified 1975", Separate({true, At(2005, 1, 1)}, {true, At(1975, 1, 1)}),
         true, false},
        {"opened only 1979", Separate({}, {}, {true, At(1979, 1, 1)}), false, true},
        {"no box", Separate({false, At(1975, 1, 1)}), false, false},
        {"from the file, nowhere to look",
         [] {
             RunOptions o;
             o.dateChange = DateChange::FromFile;
             o.modified = true;
             return o;
         }(),
         false, false},
    };
    for (const auto& c : cases) {
        Messages messages;
        EXPECT_EQ(ValidateDates(c.options, messages.Fn()), c.result) << c.name;
        EXPECT_EQ(messages.shown,
                  c.message ? std::vector<std::string>{error} : std::vector<std::string>{})
            << c.name;
    }
}

// The time step on one file, opened as a run opens it.
bool AssignTimes(const std::string& path, const RunOptions& options) {
    std::string reason;
    std::optional<platform::TFileHandle> file = platform::TFileHandle::Open(path, reason);
    if (!file)
        return false;
    const std::optional<platform::FileTimesToSet> times =
        TimesToAssign(options, GivenTimes(options), file->Find());
    return times && file->SetTimes(*times).Ok();
}

class AssignTimesTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir.Write("t.txt", "x");
        // Odd seconds and a time of day that the DOS form cannot keep.
        platform::FileTime local = 0, utc = 0, utcAccess = 0;
        platform::SystemTimeToFileTime({2001, 1, 1, 10, 0, 3, 500}, local);
        platform::LocalFileTimeToFileTime(local, utc);
        platform::FileTime localWrite = 0, utcWrite = 0;
        platform::SystemTimeToFileTime({2003, 5, 1, 10, 0, 1, 0}, localWrite);
        platform::LocalFileTimeToFileTime(localWrite, utcWrite);
        platform::SystemTimeToFileTime({2003, 6, 1, 15, 0, 1, 0}, local);
        platform::LocalFileTimeToFileTime(local, utcAccess);
        ASSERT_TRUE(platform::SetFileTimes(file, {utc, utcAccess, utcWrite}));
    }

    LocaleScope scope{"C", "CET-1"};
    TempDir dir;
    std::string file;
};

TEST_F(AssignTimesTest, OneValueForAllThree) {
    RunOptions o;
    o.dateChange = DateChange::SetSelected;
    o.date = At(2004, 2, 29);
    o.time = EncodeTime(10, 15, 37);
    EXPECT_TRUE(AssignTimes(file, o));
    EXPECT_DOUBLE_EQ(GetCreatedTime(file), At(2004, 2, 29, 10, 15, 36));
    EXPECT_DOUBLE_EQ(GetModifiedTime(file), At(2004, 2, 29, 10, 15, 36));
    // Last access is written to the second too; only its date is shown.
    EXPECT_DOUBLE_EQ(GetOpenedDate(file), At(2004, 2, 29));
    // What Linux itself now holds: 10:15:36 local (CET, one hour east) is 09:15:36 UTC.
    struct statx st {};
    ASSERT_EQ(statx(AT_FDCWD, file.c_str(), 0, STATX_BASIC_STATS, &st), 0);
    const std::int64_t expected = 1078046136;  // 2004-02-29 09:15:36 UTC
    EXPECT_EQ(st.stx_mtime.tv_sec, expected);
    EXPECT_EQ(st.stx_mtime.tv_nsec, 0u);
    EXPECT_EQ(st.stx_atime.tv_sec, expected);
}

TEST_F(AssignTimesTest, SeparateValuesFollowTheTable) {
    const TDateTime keptCreated = At(2001, 1, 1, 10, 0, 2);  // odd second lost
    const TDateTime keptModified = At(2003, 5, 1, 10, 0, 0);
    const TDateTime keptOpened = At(2003, 6, 1, 15, 0, 0);  // its time of day kept
    const TDateTime newCreated = At(2005, 1, 2, 3, 4, 4);
    const TDateTime newModified = At(2006, 2, 3, 4, 5, 6);
    const TDateTime newOpened = At(2007, 3, 4);
    const struct {
        bool created, modified, opened;
        TDateTime expectCreated, expectModified, expectOpened;
    } rows[] = {
        {true, true, true, newCreated, newModified, newOpened},
        {false, true, true, keptCreated, newModified, newOpened},
        {false, false, true, keptCreated, keptModified, newOpened},
        {true, false, true, newCreated, keptModified, newOpened},
        {true, false, false, newCreated, keptModified, keptOpened},
        // The last-access date comes from the last-write time here, not from the last access.
        {true, true, false, newCreated, newModified, At(2003, 5, 1)},
        {false, true, false, keptCreated, newModified, keptOpened},
    };
    for (const auto& row : rows) {
        SetUp();
        RunOptions o;
        o.dateChange = DateChange::SetSeparate;
        o.created = row.created;
        o.createdDate = At(2005, 1, 2);
        o.createdTime = EncodeTime(3, 4, 5);
        o.modified = row.modified;
        o.modifiedDate = At(2006, 2, 3);
        o.modifiedTime = EncodeTime(4, 5, 6);
        o.opened = row.opened;
        o.openedDate = At(2007, 3, 4) + 0.5;  // a date picker contributes its date only
        const std::string label =
            std::to_string(row.created) + std::to_string(row.modified) + std::to_string(row.opened);
        EXPECT_TRUE(AssignTimes(file, o)) << label;
        EXPECT_DOUBLE_EQ(GetCreatedTime(file), row.expectCreated) << label;
        EXPECT_DOUBLE_EQ(GetModifiedTime(file), row.expectModified) << label;
        EXPECT_DOUBLE_EQ(OpenedTimeOf(platform::FindPath(file)), row.expectOpened) << label;
    }
}

TEST_F(AssignTimesTest, NoBoxWritesNothing) {
    const TDateTime before = GetModifiedTime(file);
    RunOptions o;
    o.dateChange = DateChange::SetSeparate;
    EXPECT_FALSE(AssignTimes(file, o));
    EXPECT_DOUBLE_EQ(GetModifiedTime(file), before);
}

TEST_F(AssignTimesTest, UnencodableValueLeavesThatTimeAlone) {
    // A creation time before 1980 is kept as it is, not turned into an undefined value.
    platform::FileTime local = 0, utc = 0;
    platform::SystemTimeToFileTime({1975, 7, 1, 12, 0, 0, 0}, local);
    platform::LocalFileTimeToFileTime(local, utc);
    ASSERT_TRUE(platform::SetFileTimes(file, {utc, std::nullopt, std::nullopt}));
    RunOptions o;
    o.dateChange = DateChange::SetSeparate;
    o.modified = true;
    o.modifiedDate = At(2006, 2, 3);
    o.modifiedTime = EncodeTime(4, 5, 6);
    EXPECT_TRUE(AssignTimes(file, o));
    EXPECT_DOUBLE_EQ(GetCreatedTime(file), At(1975, 7, 1, 12, 0, 0));
    EXPECT_DOUBLE_EQ(GetModifiedTime(file), At(2006, 2, 3, 4, 5, 6));
}

TEST_F(AssignTimesTest, MissingFileFails) {
    RunOptions o;
    o.dateChange = DateChange::SetSelected;
    o.date = At(2004, 1, 1);
    EXPECT_FALSE(AssignTimes(dir / "missing", o));
}

// A shift and a copy keep the precision the file has, whatever the DOS form could hold; a shift
// is a span of real time, also across a change to summer time.
TEST(TimesToAssignTest, ShiftAndCopyKeepFullPrecision) {
    LocaleScope scope{"C", "CET-1CEST,M3.5.0,M10.5.0/3"};
    platform::FindData current;
    platform::FileTime local = 0;
    // 2023-03-25 12:00:00.1234567 local, the day before the clocks go forward.
    platform::SystemTimeToFileTime({2023, 3, 25, 12, 0, 0, 0}, local);
    platform::LocalFileTimeToFileTime(local, current.lastWriteTime);
    current.lastWriteTime += 1'234'567;
    current.creationTime = current.lastWriteTime - 5;
    current.lastAccessTime = 7;
    RunOptions shift;
    shift.dateChange = DateChange::Shift;
    shift.modified = true;
    shift.shift = 24 * 3600 * platform::kTicksPerSecond;
    const platform::FileTimesToSet shifted = *TimesToAssign(shift, {}, current);
    EXPECT_EQ(shifted.lastWrite, current.lastWriteTime + 24 * 3600 * platform::kTicksPerSecond);
    EXPECT_FALSE(shifted.creation);
    EXPECT_FALSE(shifted.lastAccess);
    // 24 hours later is 13:00 on the clock: the day had 23 hours.
    platform::SystemTime after;
    platform::FileTimeToLocalSystemTime(*shifted.lastWrite, after);
    EXPECT_EQ(after.hour, 13);

    RunOptions copy;
    copy.dateChange = DateChange::Copy;
    copy.copyFrom = TimeField::Created;
    copy.modified = copy.opened = true;
    const platform::FileTimesToSet copied = *TimesToAssign(copy, {}, current);
    EXPECT_EQ(copied.lastWrite, current.creationTime);
    EXPECT_EQ(copied.lastAccess, current.creationTime);
    current.creationTime.reset();
    EXPECT_FALSE(TimesToAssign(copy, {}, current));
    EXPECT_STREQ(NoTimesReason(copy), kNoCreationTime);
}

// The sources in their order, each date in UTC: by the photo's own offset, else by the local
// zone (here five and a half hours east, all year).
TEST(DateFromFileTest, FirstSourceWithADateGivesItInUtc) {
    const LocaleScope zone("C", "Asia/Kolkata");
    const auto utc = [](platform::SystemTime parts, int offsetMinutes) {
        platform::FileTime time = 0;
        platform::SystemTimeToFileTime(parts, time);
        return time -
               static_cast<platform::FileTime>(offsetMinutes) * 60 * platform::kTicksPerSecond;
    };
    const std::string original = "Exif.Photo.DateTimeOriginal";
    const std::string photo =
        testsupport::PhotoBytes(Exiv2::ImageType::jpeg, {{original, "2023:01:02 03:04:05"}});
    // Three comment segments of 64 KiB put the EXIF data past the first bytes read.
    std::string comments;
    for (int i = 0; i < 3; ++i)
        comments += std::string("\xFF\xFE\xFF\xFD", 4) + std::string(0xFFFB, 'c');
    const std::string far = photo.substr(0, 2) + comments + photo.substr(2);
    const std::string cut = photo.substr(0, photo.find("Exif") + 20);
    const std::string song = testsupport::SongTagBytes(4, {{"TDRC", "2022-05-06T07:08:09"}});
    struct Case {
        const char* what;
        std::string name;
        std::string bytes;
        bool exif, id3, name_;
        std::optional<platform::FileTime> utc;
        std::string reason;
    };
    const Case cases[] = {
        {"photo with its offset", "a.jpg",
         testsupport::PhotoBytes(
             Exiv2::ImageType::jpeg,
             {{original, "2023:01:02 03:04:05"}, {"Exif.Photo.OffsetTimeOriginal", "-02:00"}}),
         true, false, true, utc({2023, 1, 2, 3, 4, 5, 0}, -120), ""},
        {"photo in local time, before the name", "20000101_000000.jpg", photo, true, true, true,
         utc({2023, 1, 2, 3, 4, 5, 0}, 330), ""},
        {"EXIF data past the first bytes", "b.jpg", far, true, false, false,
         utc({2023, 1, 2, 3, 4, 5, 0}, 330), ""},
        {"song after a photo that is none", "c.mp3", song + "audio", true, true, false,
         utc({2022, 5, 6, 7, 8, 9, 0}, 330), ""},
        {"name after a damaged photo", "20240229_235958.jpg", cut, true, false, true,
         utc({2024, 2, 29, 23, 59, 58, 0}, 330), ""},
        {"a day the month lacks", "f.mp3", testsupport::SongTagBytes(4, {{"TDRC", "2023-02-31"}}),
         false, true, false, std::nullopt, media::kNoSongDate},
        {"every ticked source says why", "e.jpg", cut, true, true, true, std::nullopt,
         std::string(media::kDamagedPhoto) + "; " + media::kNoSongTag + "; " + kNoDateInFile},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::string reason;
        const std::optional<platform::TFileHandle> file =
            platform::TFileHandle::Open(dir.Write(c.name, c.bytes), reason);
        ASSERT_TRUE(file) << reason;
        RunOptions options;
        options.fromExif = c.exif;
        options.fromId3 = c.id3;
        options.fromName = c.name_;
        const FileDate date = DateFromFile(options, *file, c.name);
        EXPECT_EQ(date.utc, c.utc) << c.what;
        EXPECT_EQ(date.reason, c.reason) << c.what;
    }
}

}  // namespace
}  // namespace engine
