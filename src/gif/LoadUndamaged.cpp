#include "gif/LoadUndamaged.h"

#include <string>
#include <utility>

#include "gif/GIFException.h"

namespace gif {
namespace {

// A stray byte where a block or the trailer should be is only damage when data follows it. At
// "Unknown GIF block type" the reader stands on the byte; at "Invalid Image trailer" it has just
// read it (the same byte: the trailer check follows an unknown block).
bool HidesNothing(const std::string& message, const TByteReader& in) {
    if (message == msg::kUnknownBlockType)
        return in.Remaining() <= 1;
    if (message == msg::kInvalidTrailer)
        return in.Remaining() == 0;
    return false;
}

// Puts the image's handlers back however the load ends: the image is reused for other files.
class THandlersKept {
public:
    explicit THandlersKept(TGIFDocument& image)
        : image_(image), warn_(image.WarningHandler()), imageData_(image.ImageDataReader()) {}
    ~THandlersKept() {
        image_.SetWarningHandler(std::move(warn_));
        image_.SetImageDataReader(std::move(imageData_));
    }
    THandlersKept(const THandlersKept&) = delete;
    THandlersKept& operator=(const THandlersKept&) = delete;

private:
    TGIFDocument& image_;
    TGIFWarningHandler warn_;
    TImageDataReader imageData_;
};

}  // namespace

void LoadUndamaged(TGIFDocument& image, std::span<const std::uint8_t> bytes,
                   TImageDataReader imageData) {
    TByteReader in(bytes);
    const THandlersKept kept(image);
    image.SetWarningHandler([&in](const std::string& message) {
        if (!HidesNothing(message, in))
            throw GIFException(message);
    });
    image.SetImageDataReader(std::move(imageData));
    image.LoadFromStream(in);
}

}  // namespace gif
