#pragma once
// The date a photo was taken, from the EXIF data of any image format Exiv2 reads (JPEG, TIFF,
// PNG, WebP, HEIF, the camera raw formats), read from bytes in memory.

#include <cstddef>
#include <cstdint>
#include <span>

#include "media/MediaDate.h"

namespace media {

inline constexpr const char* kNoPhotoDate = "no date found in the file's EXIF data";
inline constexpr const char* kDamagedPhoto = "the file's EXIF data is damaged";

// How many bytes from a file's start hold the EXIF data of most photos: a JPEG keeps it in a
// segment of at most 64 KiB near its start. Formats that keep it elsewhere need the whole file.
inline constexpr std::size_t kPhotoPrefix = 128 * 1024;

// Whether `head` (a file's first bytes) begins an image that Exiv2 reads.
bool IsPhoto(std::span<const std::uint8_t> head);

// DateTimeOriginal, else DateTimeDigitized, else the image's DateTime, with the matching
// offset tag when the photo has one. `bytes` may be a file's first bytes only: what lies
// beyond them reads as missing or damaged, and the caller may try again with the whole file.
DateFound ReadPhotoDate(std::span<const std::uint8_t> bytes);

}  // namespace media
