#include "media/SongTag.h"

#include <gtest/gtest.h>

#include "support/SongTagBytes.h"

namespace media {
namespace {

using testsupport::SongTagBytes;

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(SongTagTest, ReadsNamesAndTheRecordingTime) {
    const std::string longTitle = "Ein sehr langer Titel, länger als dreißig Zeichen, ganz";
    using State = SongTag::State;
    struct Case {
        const char* what;
        std::string bytes;
        State state;
        std::string artist;
        std::string title;
        std::optional<platform::SystemTime> recorded;
        std::string reason;
    };
    const Case cases[] = {
        {"version 4, full timestamp",
         SongTagBytes(4,
                      {{"TPE1", "Artist"}, {"TIT2", longTitle}, {"TDRC", "2023-01-02T03:04:05"}}),
         State::Read, "Artist", longTitle, platform::SystemTime{2023, 1, 2, 3, 4, 5, 0}, ""},
        {"version 4, a day alone", SongTagBytes(4, {{"TDRC", "2023-01-02"}}), State::Read, "", "",
         platform::SystemTime{2023, 1, 2, 0, 0, 0, 0}, ""},
        {"version 3, year, day and time apart",
         SongTagBytes(3, {{"TIT2", "Title"}, {"TYER", "2021"}, {"TDAT", "0403"}, {"TIME", "1530"}}),
         State::Read, "", "Title", platform::SystemTime{2021, 3, 4, 15, 30, 0, 0}, ""},
        {"version 3, a year alone", SongTagBytes(3, {{"TPE1", "A"}, {"TYER", "2021"}}), State::Read,
         "A", "", std::nullopt, kNoSongDate},
        {"no tag", "audio bytes", State::None, "", "", std::nullopt, kNoSongTag},
        {"cut short", SongTagBytes(4, {{"TDRC", "2023-01-02"}}).substr(0, 16), State::Damaged, "",
         "", std::nullopt, kDamagedSongTag},
        {"frames of no kind",
         "ID3" + std::string("\4\0\0", 3) + testsupport::SyncSafe(12) + "\x01\x02\x03\x04garbage!",
         State::Damaged, "", "", std::nullopt, kDamagedSongTag},
    };
    for (const Case& c : cases) {
        const SongTag song = ReadSongTag(Bytes(c.bytes));
        EXPECT_EQ(song.state, c.state) << c.what;
        EXPECT_EQ(song.artist, c.artist) << c.what;
        EXPECT_EQ(song.title, c.title) << c.what;
        EXPECT_EQ(song.recorded.reason, c.reason) << c.what;
        ASSERT_EQ(song.recorded.date.has_value(), c.recorded.has_value()) << c.what;
        if (!c.recorded)
            continue;
        const platform::SystemTime& p = song.recorded.date->parts;
        EXPECT_EQ((std::array{p.year, p.month, p.day, p.hour, p.minute, p.second}),
                  (std::array{c.recorded->year, c.recorded->month, c.recorded->day,
                              c.recorded->hour, c.recorded->minute, c.recorded->second}))
            << c.what;
        EXPECT_FALSE(song.recorded.date->utcOffsetMinutes) << c.what;
    }
}

}  // namespace
}  // namespace media
