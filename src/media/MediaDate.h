#pragma once
// A date that a file's content carries (a photo's EXIF, a song's ID3v2 tag), as the readers
// find it: calendar parts in whole seconds, and the offset from UTC when the file states one.

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileTime.h"

namespace media {

struct MediaDate {
    platform::SystemTime parts;
    // Minutes east of UTC; absent when the file gives the local time of wherever it was made.
    std::optional<int> utcOffsetMinutes;
};

// What a reader found: the date, or why there is none (no such data, or data too damaged to
// read). Readers never throw.
struct DateFound {
    std::optional<MediaDate> date;
    std::string reason;
};

// The number written by exactly `length` digits at `at` of `text`, as dates in tags are written.
inline bool ReadDigits(std::string_view text, std::size_t at, std::size_t length, int& out) {
    if (at + length > text.size() || (length > 0 && (text[at] == '-' || text[at] == '+')))
        return false;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + length, out);
    return error == std::errc() && end == first + length;
}

}  // namespace media
