#include "id3/ID3v1.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>

#include "support/TempDir.h"

namespace {

using id3::TID3v1;

// A 128-byte trailer: "TAG", then the given fields, zero-padded, at their offsets.
class TagBytes {
public:
    TagBytes() : bytes_(128, '\0') { bytes_.replace(0, 3, "TAG"); }
    TagBytes& Put(std::size_t offset, const std::string& text) {
        bytes_.replace(offset, text.size(), text);
        return *this;
    }
    TagBytes& Byte(std::size_t offset, unsigned char value) {
        bytes_[offset] = static_cast<char>(value);
        return *this;
    }
    const std::string& Str() const { return bytes_; }
    id3::TagBuffer Buffer() const {
        id3::TagBuffer buffer{};
        std::copy(bytes_.begin(), bytes_.end(), buffer.begin());
        return buffer;
    }

private:
    std::string bytes_;
};

constexpr std::size_t kTitle = 3, kArtist = 33, kAlbum = 63, kYear = 93, kComment = 97;

void ExpectEmpty(const TID3v1& tag) {
    EXPECT_FALSE(tag.Exists());
    EXPECT_EQ(tag.VersionID(), 1);
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.Artist(), "");
    EXPECT_EQ(tag.Album(), "");
    EXPECT_EQ(tag.Year(), "");
    EXPECT_EQ(tag.Comment(), "");
    EXPECT_EQ(tag.RawTitle(), "");
    EXPECT_EQ(tag.RawComment(), "");
    EXPECT_EQ(tag.Track(), 0);
    EXPECT_EQ(tag.GenreID(), 255);
}

TEST(ID3v1, ReadsEveryFieldOfATagBehindAudioData) {
    testsupport::TempDir dir;
    TagBytes tag;
    tag.Put(kTitle, "Beta").Put(kArtist, "Alpha").Put(kAlbum, "Gamma").Put(kYear, "1999");
    tag.Put(kComment, "fine").Byte(127, 17);
    const std::string path = dir.Write("song.mp3", std::string(5000, '\xFF') + tag.Str());

    TID3v1 reader;
    ASSERT_TRUE(reader.ReadFromFile(path));
    EXPECT_TRUE(reader.Exists());
    EXPECT_EQ(reader.VersionID(), 1);
    EXPECT_EQ(reader.Title(), "Beta");
    EXPECT_EQ(reader.Artist(), "Alpha");
    EXPECT_EQ(reader.Album(), "Gamma");
    EXPECT_EQ(reader.Year(), "1999");
    EXPECT_EQ(reader.Comment(), "fine");
    EXPECT_EQ(reader.GenreID(), 17);
    EXPECT_EQ(id3::GenreNames[reader.GenreID()], "Rock");
}

// Whatever a read finds no tag in, it leaves no field of an earlier read behind: a file shorter
// than a tag, a trailer without the upper-case mark, a buffer without a tag, or a path that
// cannot be read at all. A FIFO would block an ordinary open until a writer comes; it must fail
// at once.
TEST(ID3v1, ReadWithoutATagEmptiesEveryField) {
    testsupport::TempDir dir;
    TagBytes tag;
    tag.Put(kTitle, "T").Put(kArtist, "A").Put(kAlbum, "B").Put(kYear, "2001");
    tag.Put(kComment, "C").Byte(125, 0).Byte(126, 9).Byte(127, 3);
    const std::string good = dir.Write("128.mp3", tag.Str());  // nothing but the tag
    std::string lowerMark = tag.Str();
    lowerMark.replace(0, 3, "tag");
    ASSERT_EQ(mkfifo((dir / "pipe.mp3").c_str(), 0600), 0);
    struct Case {
        const char* what;
        std::string path;  // empty: a buffer of zero bytes
        bool read;
    };
    const Case cases[] = {
        {"one byte short of a tag", dir.Write("127.mp3", tag.Str().substr(1)), false},
        {"a few bytes", dir.Write("short.mp3", "tiny"), false},
        {"lower-case mark", dir.Write("lower.mp3", lowerMark), true},
        {"buffer without a tag", "", true},
        {"missing", dir / "missing.mp3", false},
        {"folder", dir.Path(), false},
        {"FIFO", dir / "pipe.mp3", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TID3v1 reader;
        ASSERT_TRUE(reader.ReadFromFile(good));
        ASSERT_TRUE(reader.Exists());
        ASSERT_EQ(reader.Track(), 9);
        EXPECT_EQ(
            c.path.empty() ? reader.ReadFromBuffer(id3::TagBuffer{}) : reader.ReadFromFile(c.path),
            c.read);
        ExpectEmpty(reader);
    }
}

TEST(ID3v1, FieldEndsAtItsFirstZeroByteAndLosesPaddingAtItsEnd) {
    struct Case {
        std::string field;
        const char* text;
    };
    const Case cases[] = {
        // Zero bytes then blanks, as some taggers pad; then control bytes and blanks.
        {std::string("Song") + std::string(6, '\0') + std::string(20, ' '), "Song"},
        {"  Two leading blanks\t\x01 ", "  Two leading blanks"},
        // A shorter text written over a longer one leaves the old text behind its zero byte.
        {std::string("Short\0OldLongerTitle", 20), "Short"},
        {std::string("Blank \0old", 10), "Blank"},
        {std::string("\0Old title", 10), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.field));
        TID3v1 reader;
        ASSERT_TRUE(
            reader.ReadFromBuffer(TagBytes().Put(kTitle, c.field).Put(kAlbum, c.field).Buffer()));
        EXPECT_EQ(reader.Title(), c.text);
        EXPECT_EQ(reader.RawTitle(), c.text);
        EXPECT_EQ(reader.Album(), c.text);
    }
}

TEST(ID3v1, DetectsVersionAndTrack) {
    struct Case {
        unsigned char byte125, byte126;
        int version;
        int track;
        const char* comment;
    };
    // The comment field holds 28 letters, then bytes 125 and 126; version 1 reads all 30.
    const std::string letters = "abcdefghijklmnopqrstuvwxyzAB";
    const Case cases[] = {
        {0, 7, 2, 7, "abcdefghijklmnopqrstuvwxyzAB"},
        {0, 0, 1, 0, "abcdefghijklmnopqrstuvwxyzAB"},
        {' ', ' ', 1, 0, "abcdefghijklmnopqrstuvwxyzAB"},
        {' ', 3, 2, 3, "abcdefghijklmnopqrstuvwxyzAB"},
        {'C', 'D', 1, 0, "abcdefghijklmnopqrstuvwxyzABCD"},
    };
    testsupport::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.byte125) << "," << int(c.byte126));
        TagBytes tag;
        tag.Put(kComment, letters).Byte(125, c.byte125).Byte(126, c.byte126);
        EXPECT_EQ(id3::GetTagVersion(tag.Buffer()), c.version);
        TID3v1 reader;
        ASSERT_TRUE(reader.ReadFromFile(dir.Write("v.mp3", tag.Str())));
        EXPECT_EQ(reader.VersionID(), c.version);
        EXPECT_EQ(reader.Track(), c.track);
        EXPECT_EQ(reader.Comment(), c.comment);
    }
}

TEST(ID3v1, TextBytesBecomeUtf8AndStayAvailableRaw) {
    testsupport::TempDir dir;
    TagBytes tag;
    tag.Put(kTitle, "Caf\xE9 \x80 \x93quoted\x94");  // Windows-1252
    tag.Put(kArtist, "Bj\xC3\xB6rk");                // already UTF-8
    TID3v1 reader;
    ASSERT_TRUE(reader.ReadFromFile(dir.Write("enc.mp3", tag.Str())));
    EXPECT_EQ(reader.Title(), "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D");
    EXPECT_EQ(reader.RawTitle(), "Caf\xE9 \x80 \x93quoted\x94");
    EXPECT_EQ(reader.Artist(), "Bj\xC3\xB6rk");
    EXPECT_EQ(reader.RawArtist(), "Bj\xC3\xB6rk");
}

TEST(GenreNames, KeepTheTraditionalSpellings) {
    ASSERT_EQ(id3::GenreNames.size(), 148u);
    for (const auto name : id3::GenreNames) {
        EXPECT_FALSE(name.empty());
    }
    EXPECT_EQ(id3::GenreNames[0], "Blues");
    EXPECT_EQ(id3::GenreNames[67], "Psychadelic");
    EXPECT_EQ(id3::GenreNames[85], "Bebob");
    EXPECT_EQ(id3::GenreNames[92], "Progessive Rock");
    EXPECT_EQ(id3::GenreNames[93], "Psychedelic Rock");
    EXPECT_EQ(id3::GenreNames[123], "A capella");
    EXPECT_EQ(id3::GenreNames[136], "Christian Gangsta Rap");
    EXPECT_EQ(id3::GenreNames[147], "Synthpop");
}

}  // namespace
