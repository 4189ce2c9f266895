#pragma once
// The one error type of the GIF subsystem and the texts it carries. The run engine catches it at
// the step boundary and shows the text as it is, so every text here is kept letter for letter.

#include <stdexcept>

namespace gif {

class GIFException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An image with more pixels than a rewrite takes on. The file is not damaged, it only asks for
// more memory than is granted to one image, so the run passes over it and goes on.
class GIFImageTooLarge : public GIFException {
public:
    using GIFException::GIFException;
};

namespace msg {
inline constexpr const char* kPrematureEnd = "Premature end of data";
inline constexpr const char* kInvalidSignature = "Invalid GIF signature";
inline constexpr const char* kUnknownBlockType = "Unknown GIF block type";
inline constexpr const char* kInvalidIntroducer = "Invalid extension introducer";
inline constexpr const char* kUnknownExtension = "Unknown extension type";
inline constexpr const char* kExtensionMismatch =
    "Internal error: Extension Instance does not match Extension Label";
inline constexpr const char* kAppBlockSize = "Unsupported Application Extension block size";
inline constexpr const char* kInvalidData = "Invalid GIF data";
inline constexpr const char* kImageExceedsScreen = "Image exceeds Logical Screen size";
inline constexpr const char* kInvalidTrailer = "Invalid Image trailer";
inline constexpr const char* kBitBufferUnderrun = "Decoder bit buffer under-run";
inline constexpr const char* kCircularEntry = "Circular decoder table entry";
inline constexpr const char* kUnsupportedVersion = "Unsupported GIF version";
inline constexpr const char* kColorNotInTable = "Color not in color table";
// Our own: what comes before the difference found when new data is read back.
inline constexpr const char* kVerificationFailed = "Verification of the rewritten GIF failed: ";
}  // namespace msg

}  // namespace gif
