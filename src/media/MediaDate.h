#pragma once
// A date that a file's content carries (a photo's EXIF, a song's ID3v2 tag), as the readers
// find it: calendar parts in whole seconds, and the offset from UTC when the file states one.

#include <optional>
#include <string>

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

}  // namespace media
