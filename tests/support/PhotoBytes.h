#pragma once
// Small images carrying the EXIF tags a test asks for, written by Exiv2 from its own blank image
// of the format (the reader under test reads them back through our functions).

#include <exiv2/exiv2.hpp>

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// An image of Exiv2's `type` (Exiv2::ImageType::jpeg, png, ...) holding the EXIF tags
// (key, value), as the bytes of a file.
inline std::string PhotoBytes(int type,
                              const std::vector<std::pair<std::string, std::string>>& tags) {
    auto image = Exiv2::ImageFactory::create(type);
    Exiv2::ExifData exif;
    for (const auto& [key, value] : tags)
        exif[key] = value;
    image->setExifData(exif);
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    io.seek(0, Exiv2::BasicIo::beg);
    const Exiv2::DataBuf bytes = io.read(static_cast<long>(io.size()));
    return std::string(reinterpret_cast<const char*>(bytes.pData_),
                       static_cast<std::size_t>(bytes.size_));
}

}  // namespace testsupport
