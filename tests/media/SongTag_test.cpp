#include "media/SongTag.h"

#include <gtest/gtest.h>

#include "DateText.h"
#include "support/SongTagBytes.h"

namespace media {
namespace {

using testsupport::SongTagBytes;

TEST(SongTagTest, ReadsNamesAndTheRecordingTime) {
    const std::string longTitle = "Ein sehr langer Titel, länger als dreißig Zeichen, ganz";
    using State = SongTag::State;
    struct Case {
        std::string bytes;
        State state;
        std::string artist;
        std::string title;
        std::string recorded;
    };
    const Case cases[] = {
        {SongTagBytes(4,
                      {{"TPE1", "Artist"}, {"TIT2", longTitle}, {"TDRC", "2023-01-02T03:04:05"}}),
         State::Read, "Artist", longTitle, "2023-01-02 03:04:05"},
        {SongTagBytes(4, {{"TDRC", "2023-01-02"}}), State::Read, "", "", "2023-01-02 00:00:00"},
        {SongTagBytes(3, {{"TIT2", "T"}, {"TYER", "2021"}, {"TDAT", "0403"}, {"TIME", "1530"}}),
         State::Read, "", "T", "2021-03-04 15:30:00"},
        // A year alone does not tell the day.
        {SongTagBytes(3, {{"TPE1", "A"}, {"TYER", "2021"}}), State::Read, "A", "", kNoSongDate},
        {"audio bytes", State::None, "", "", kNoSongTag},
        {SongTagBytes(4, {{"TDRC", "2023-01-02"}}).substr(0, 16), State::Damaged, "", "",
         kDamagedSongTag},
        {"ID3" + std::string("\4\0\0", 3) + testsupport::SyncSafe(12) + "\x01\x02\x03\x04garbage!",
         State::Damaged, "", "", kDamagedSongTag},
    };
    for (const Case& c : cases) {
        const SongTag song = ReadSongTag(mediatest::Bytes(c.bytes));
        EXPECT_EQ(song.state, c.state) << c.recorded;
        EXPECT_EQ(song.artist, c.artist) << c.recorded;
        EXPECT_EQ(song.title, c.title) << c.recorded;
        EXPECT_EQ(mediatest::DateText(song.recorded), c.recorded);
    }
}

}  // namespace
}  // namespace media
