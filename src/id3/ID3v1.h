#pragma once
// The ID3v1 tag that MP3 files carry in their last 128 bytes, and the table of genre names.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace id3 {

constexpr std::size_t kTagSize = 128;
using TagBuffer = std::array<std::uint8_t, kTagSize>;

// Copies the last 128 bytes of the file into `buffer`. False when the path is not a regular
// file that can be opened for reading, when the file is shorter than 128 bytes, or when the read
// comes up short.
bool ReadTag(const std::string& path, TagBuffer& buffer);

// 2 for an ID3v1.1 tag (the comment gives up its last two bytes to a track number), else 1.
std::uint8_t GetTagVersion(const TagBuffer& buffer);

constexpr std::size_t kGenreCount = 148;
// Genre names indexed by genre number; numbers from 148 on have no name. The names keep the
// spellings every ID3v1 tool has always shown ("Psychadelic", "Progessive Rock", ...).
extern const std::array<std::string_view, kGenreCount> GenreNames;

// The fields of one ID3v1 tag. Text fields come in two forms: the bytes as the tag holds them
// (up to the first zero byte, trimmed at the end), and the same text as UTF-8 for use in file names
// and on screen.
class TID3v1 {
public:
    // Every field back to its empty value (no tag, version 1, genre 255).
    void ResetData();

    // True when the last 128 bytes of the file could be read, whether or not they hold a tag;
    // `Exists` tells which. On false every field holds its empty value.
    bool ReadFromFile(const std::string& path);

    // The same for a tag already read, for a caller that reads the file through a descriptor of
    // its own: always true, since the 128 bytes are there.
    bool ReadFromBuffer(const TagBuffer& buffer);

    bool Exists() const { return exists_; }
    std::uint8_t VersionID() const { return versionID_; }
    const std::string& Title() const { return title_.utf8; }
    const std::string& Artist() const { return artist_.utf8; }
    const std::string& Album() const { return album_.utf8; }
    const std::string& Year() const { return year_.utf8; }
    const std::string& Comment() const { return comment_.utf8; }
    std::uint8_t Track() const { return track_; }
    std::uint8_t GenreID() const { return genreID_; }

    const std::string& RawTitle() const { return title_.raw; }
    const std::string& RawArtist() const { return artist_.raw; }
    const std::string& RawAlbum() const { return album_.raw; }
    const std::string& RawYear() const { return year_.raw; }
    const std::string& RawComment() const { return comment_.raw; }

private:
    struct Text {
        std::string raw;
        std::string utf8;
    };

    static Text ReadText(const TagBuffer& buffer, std::size_t offset, std::size_t length);

    bool exists_ = false;
    std::uint8_t versionID_ = 1;
    Text title_;
    Text artist_;
    Text album_;
    Text year_;
    Text comment_;
    std::uint8_t track_ = 0;
    std::uint8_t genreID_ = 255;
};

}  // namespace id3
