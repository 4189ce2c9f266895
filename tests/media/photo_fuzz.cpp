// Feeds arbitrary bytes to the photo date reader: whatever the bytes, it must neither crash nor
// throw, and a date it gives must be a real calendar time.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "media/PhotoDate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const media::DateFound found = media::ReadPhotoDate({data, size});
    if (found.date ? !found.reason.empty() || found.date->parts.month < 1 ||
                         found.date->parts.month > 12 || found.date->parts.second > 59
                   : found.reason.empty()) {
        std::abort();
    }
    return 0;
}
