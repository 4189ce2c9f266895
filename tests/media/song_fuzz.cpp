// Feeds arbitrary bytes, behind a valid ID3v2 header, to the song tag reader: whatever the
// frames hold, it must neither crash nor throw, and a tag it calls damaged gives no names.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "media/SongTag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Most inputs would otherwise fail at the header: the first byte picks the version (2, 3
    // or 4), the rest are the frames.
    if (size == 0)
        return 0;
    const std::size_t frames = size - 1;
    std::string bytes = "ID3";
    bytes += static_cast<char>(2 + data[0] % 3);
    bytes += std::string(2, '\0');
    for (int shift = 21; shift >= 0; shift -= 7)
        bytes += static_cast<char>((frames >> shift) & 0x7F);
    bytes.append(reinterpret_cast<const char*>(data) + 1, frames);
    const media::SongTag song =
        media::ReadSongTag({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    if (song.state != media::SongTag::State::Read &&
        (!song.artist.empty() || !song.title.empty() || song.recorded.date)) {
        std::abort();
    }
    return 0;
}
