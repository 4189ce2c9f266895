#include "id3/ID3v1.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "id3/TagText.h"

namespace id3 {

namespace {

// Offsets and lengths of the fields inside the 128-byte tag.
constexpr std::size_t kTitleOffset = 3;
constexpr std::size_t kArtistOffset = 33;
constexpr std::size_t kAlbumOffset = 63;
constexpr std::size_t kYearOffset = 93;
constexpr std::size_t kCommentOffset = 97;
constexpr std::size_t kTextLength = 30;
constexpr std::size_t kYearLength = 4;
constexpr std::size_t kShortCommentLength = 28;
constexpr std::size_t kVersionMarkOffset = 125;
constexpr std::size_t kTrackOffset = 126;
constexpr std::size_t kGenreOffset = 127;

bool HasTagMark(const TagBuffer& buffer) {
    return buffer[0] == 'T' && buffer[1] == 'A' && buffer[2] == 'G';
}

}  // namespace

const std::array<std::string_view, kGenreCount> GenreNames = {
    "Blues",
    "Classic Rock",
    "Country",
    "Dance",
    "Disco",
    "Funk",
    "Grunge",
    "Hip-Hop",
    "Jazz",
    "Metal",
    "New Age",
    "Oldies",
    "Other",
    "Pop",
    "R&B",
    "Rap",
    "Reggae",
    "Rock",
    "Techno",
    "Industrial",
    "Alternative",
    "Ska",
    "Death Metal",
    "Pranks",
    "Soundtrack",
    "Euro-Techno",
    "Ambient",
    "Trip-Hop",
    "Vocal",
    "Jazz+Funk",
    "Fusion",
    "Trance",
    "Classical",
    "Instrumental",
    "Acid",
    "House",
    "Game",
    "Sound Clip",
    "Gospel",
    "Noise",
    "AlternRock",
    "Bass",
    "Soul",
    "Punk",
    "Space",
    "Meditative",
    "Instrumental Pop",
    "Instrumental Rock",
    "Ethnic",
    "Gothic",
    "Darkwave",
    "Techno-Industrial",
    "Electronic",
    "Pop-Folk",
    "Eurodance",
    "Dream",
    "Southern Rock",
    "Comedy",
    "Cult",
    "Gangsta",
    "Top 40",
    "Christian Rap",
    "Pop/Funk",
    "Jungle",
    "Native American",
    "Cabaret",
    "New Wave",
    "Psychadelic",
    "Rave",
    "Showtunes",
    "Trailer",
    "Lo-Fi",
    "Tribal",
    "Acid Punk",
    "Acid Jazz",
    "Polka",
    "Retro",
    "Musical",
    "Rock & Roll",
    "Hard Rock",
    "Folk",
    "Folk-Rock",
    "National Folk",
    "Swing",
    "Fast Fusion",
    "Bebob",
    "Latin",
    "Revival",
    "Celtic",
    "Bluegrass",
    "Avantgarde",
    "Gothic Rock",
    "Progessive Rock",
    "Psychedelic Rock",
    "Symphonic Rock",
    "Slow Rock",
    "Big Band",
    "Chorus",
    "Easy Listening",
    "Acoustic",
    "Humour",
    "Speech",
    "Chanson",
    "Opera",
    "Chamber Music",
    "Sonata",
    "Symphony",
    "Booty Bass",
    "Primus",
    "Porn Groove",
    "Satire",
    "Slow Jam",
    "Club",
    "Tango",
    "Samba",
    "Folklore",
    "Ballad",
    "Power Ballad",
    "Rhythmic Soul",
    "Freestyle",
    "Duet",
    "Punk Rock",
    "Drum Solo",
    "A capella",
    "Euro-House",
    "Dance Hall",
    "Goa",
    "Drum & Bass",
    "Club-House",
    "Hardcore",
    "Terror",
    "Indie",
    "BritPop",
    "Negerpunk",
    "Polsk Punk",
    "Beat",
    "Christian Gangsta Rap",
    "Heavy Metal",
    "Black Metal",
    "Crossover",
    "Contemporary Christian",
    "Christian Rock",
    "Merengue",
    "Salsa",
    "Trash Metal",
    "Anime",
    "JPop",
    "Synthpop",
};

bool ReadTag(const std::string& path, TagBuffer& buffer) {
    // Opening a FIFO or a device would block or read endlessly; only a regular file has a
    // trailer to read.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < static_cast<std::streamoff>(kTagSize)) {
        return false;
    }
    file.seekg(size - static_cast<std::streamoff>(kTagSize));
    file.read(reinterpret_cast<char*>(buffer.data()), kTagSize);
    return file.gcount() == static_cast<std::streamsize>(kTagSize);
}

std::uint8_t GetTagVersion(const TagBuffer& buffer) {
    const std::uint8_t mark = buffer[kVersionMarkOffset];
    const std::uint8_t track = buffer[kTrackOffset];
    if ((mark == 0 && track != 0) || (mark == ' ' && track != ' ')) {
        return 2;
    }
    return 1;
}

void TID3v1::ResetData() {
    *this = TID3v1();
}

bool TID3v1::ReadFromFile(const std::string& path) {
    TagBuffer buffer{};
    if (!ReadTag(path, buffer)) {
        ResetData();
        return false;
    }
    return ReadFromBuffer(buffer);
}

bool TID3v1::ReadFromBuffer(const TagBuffer& buffer) {
    ResetData();
    if (!HasTagMark(buffer)) {
        return true;
    }
    exists_ = true;
    versionID_ = GetTagVersion(buffer);
    title_ = ReadText(buffer, kTitleOffset, kTextLength);
    artist_ = ReadText(buffer, kArtistOffset, kTextLength);
    album_ = ReadText(buffer, kAlbumOffset, kTextLength);
    year_ = ReadText(buffer, kYearOffset, kYearLength);
    if (versionID_ == 2) {
        comment_ = ReadText(buffer, kCommentOffset, kShortCommentLength);
        track_ = buffer[kTrackOffset];
    } else {
        comment_ = ReadText(buffer, kCommentOffset, kTextLength);
    }
    genreID_ = buffer[kGenreOffset];
    return true;
}

TID3v1::Text TID3v1::ReadText(const TagBuffer& buffer, std::size_t offset, std::size_t length) {
    // A tagger that writes a shorter text over a longer one ends it with a zero byte and may
    // leave the old text behind it, so a field ends at its first zero byte. Before that, taggers
    // pad with blanks or control bytes: anything at or below a blank at the end is padding,
    // while leading blanks belong to the text.
    const auto* begin = buffer.data() + offset;
    const auto* end = std::find(begin, begin + length, std::uint8_t{0});
    while (end != begin && end[-1] <= 0x20) {
        --end;
    }
    Text text;
    text.raw.assign(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin));
    text.utf8 = TagTextToUtf8(text.raw);
    return text;
}

}  // namespace id3
