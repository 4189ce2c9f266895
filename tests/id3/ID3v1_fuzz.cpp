// Feeds arbitrary file contents to the tag reader: whatever the bytes, reading must neither
// crash nor read outside the tag, and the fields must keep their size limits and end before
// any zero byte.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "id3/ID3v1.h"
#include "id3/TagText.h"

namespace {

// An in-memory file reached through its /proc path, so a fuzzing run leaves nothing behind.
const std::string& ScratchFile(int& fd) {
    static int memoryFile = memfd_create("id3-fuzz", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(memoryFile);
    if (memoryFile < 0) {
        std::abort();
    }
    fd = memoryFile;
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int fd = -1;
    const std::string& path = ScratchFile(fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    id3::TID3v1 tag;
    const bool read = tag.ReadFromFile(path);
    if (read != (size >= id3::kTagSize) || tag.RawTitle().size() > 30 ||
        tag.RawComment().size() > 30 || tag.RawYear().size() > 4 ||
        tag.RawTitle().find('\0') != std::string::npos || !id3::IsValidUtf8(tag.Title()) ||
        !id3::IsValidUtf8(tag.Comment())) {
        std::abort();
    }
    return 0;
}
