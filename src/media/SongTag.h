#pragma once
// The ID3v2 tag at the start of a song: its artist, title and recording time, read by TagLib
// from bytes in memory.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "media/MediaDate.h"

namespace media {

inline constexpr const char* kNoSongTag = "no ID3v2 tag";
inline constexpr const char* kDamagedSongTag = "the file's ID3v2 tag is damaged";
inline constexpr const char* kNoSongDate = "no date found in the file's ID3v2 tag";

// The size of an ID3v2 tag's header, which tells the size of the whole tag.
inline constexpr std::size_t kSongTagHeader = 10;

// How many bytes from a file's start the ID3v2 tag takes (header, frames and footer), from its
// first kSongTagHeader bytes; nothing when they do not begin a tag.
std::optional<std::size_t> SongTagSize(std::span<const std::uint8_t> head);

struct SongTag {
    enum class State { None, Damaged, Read };
    State state = State::None;
    // UTF-8, as the tag gives them (ID3v2 texts have no length limit).
    std::string artist;
    std::string title;
    // TDRC, or the TYER, TDAT and TIME frames of an ID3v2.3 tag.
    DateFound recorded;
};

// Reads the tag `bytes` begins with (SongTagSize bytes are enough).
SongTag ReadSongTag(std::span<const std::uint8_t> bytes);

}  // namespace media
