#pragma once
// Comment removal, the GIF step of a run, on the bytes of a file; reading the file and putting
// the new bytes in its place are the caller's.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "gif/GIFDocument.h"

namespace gif {

// Size of the file prefix CheckHeader needs (signature, version, logical screen descriptor).
constexpr std::size_t kHeaderSize = 13;

// Throws GIFException ("Invalid GIF signature", "Premature end of data") unless `head` begins a
// GIF file, so that a caller can refuse a huge file that is no GIF before reading it whole.
// `head` is the file's first kHeaderSize bytes, or the whole file when it is shorter. The
// signature may stand behind a 4-byte prefix, as the reader allows; the version bytes are not
// examined, as the reader does not examine them.
void CheckHeader(std::span<const std::uint8_t> head);

// The bytes of `original` with every comment extension of every sub-image deleted, re-encoded
// and verified (read back and compared with what was loaded); std::nullopt when the file holds
// no comment block, and then no pixel is decoded and nothing is encoded. One image is decoded,
// encoded and checked at a time: the pixels held at once are those of one image. `image` is
// working storage, reused from file to file; its sub-images are left without pixels.
// GIFException for damaged input (with the reader's text; see LoadUndamaged), for a file the
// writer cannot encode, and when verification of the new bytes fails ("Verification of the
// rewritten GIF failed: ..."); GIFImageTooLarge, before any of its pixels are decoded, for an
// image of more than kMaxImagePixels pixels.
std::optional<std::vector<std::uint8_t>> DeleteGIFComments(TGIFDocument& image,
                                                           std::span<const std::uint8_t> original);

// How many comment blocks DeleteGIFComments would take out of `original`, from the block
// structure alone: no pixel is decoded. Throws what DeleteGIFComments throws before it decodes
// (damaged blocks; an image too large, when there are comments to take out), so that what a
// rewrite would refuse is known before it is tried; damage inside image data shows only then.
int CountGIFComments(TGIFDocument& image, std::span<const std::uint8_t> original);

}  // namespace gif
