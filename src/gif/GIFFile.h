#pragma once
// The file side of comment removal: a GIF is read whole, and its new content replaces the old
// in place, so the file keeps its inode, owner, permissions, extended attributes and birth
// time, and is never left cut short.

#include <cstdint>
#include <string>
#include <vector>

namespace gif {

// The whole file; GIFException "Cannot open file %s" when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// An existing file opened for rewriting; nothing is changed until Replace.
class TInPlaceFile {
public:
    // GIFException "Cannot create file %s" when the file is read-only by its attributes or
    // cannot be opened for writing.
    explicit TInPlaceFile(const std::string& path);
    ~TInPlaceFile();
    TInPlaceFile(const TInPlaceFile&) = delete;
    TInPlaceFile& operator=(const TInPlaceFile&) = delete;

    // Writes `content` over the file, flushes it and cuts it to the new length. When any of
    // that fails, `original` is written back and GIFException "Stream write error" is raised.
    void Replace(const std::vector<std::uint8_t>& content,
                 const std::vector<std::uint8_t>& original);

private:
    bool WriteAll(const std::vector<std::uint8_t>& bytes);

    std::string path_;
    int fd_ = -1;
};

}  // namespace gif
