#pragma once
// One image of a GIF file together with the extensions that precede it. A sub-image without
// image data holds the extensions that stand between the last image and the trailer.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "gif/GIFColorMap.h"
#include "gif/GIFExtensions.h"
#include "gif/GIFItem.h"
#include "gif/LZWDecoder.h"
#include "gif/Pixels.h"

namespace gif {

class TGIFExtensionList : public TGIFList<TGIFExtension> {
public:
    using TGIFList::TGIFList;
    // Reads extensions up to the next image separator or trailer, which is left unread.
    void LoadFromStream(TByteReader& in, TGIFSubImage& parent);
};

struct TImageDescriptor {
    std::uint8_t separator = kImageSeparator;
    std::uint16_t left = 0;
    std::uint16_t top = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    // Bit 7 local colour table, bit 6 interlaced, bit 5 sorted, bits 0-2 table size.
    std::uint8_t packed = 0;
};

// Where the data of one written image lies in the bytes written, and the shape a reader of those
// bytes decodes it with.
struct TWrittenData {
    std::size_t start = 0;  // the minimum code size byte
    std::size_t end = 0;    // behind the terminator
    TImageShape shape;

    bool operator==(const TWrittenData&) const = default;
};

class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFDocument& image);
    ~TGIFSubImage() override;

    TGIFExtensionList& Extensions() { return extensions_; }
    const TGIFExtensionList& Extensions() const { return extensions_; }
    TGIFColorMap& ColorMap() { return colorMap_; }
    const TGIFColorMap& ColorMap() const { return colorMap_; }
    TImageDescriptor& Descriptor() { return descriptor_; }
    const TImageDescriptor& Descriptor() const { return descriptor_; }
    // Width × height colour indexes, rows top to bottom, always in natural row order.
    TPixels& Pixels() { return pixels_; }
    const TPixels& Pixels() const { return pixels_; }

    bool Empty() const;
    // An image was read for it (a sub-image may hold only the extensions before the trailer).
    bool HasImage() const { return descriptor_.width != 0 && descriptor_.height != 0; }
    bool Interlaced() const { return (descriptor_.packed & 0x40) != 0; }
    // What decoding this image's data is given: its size, interlacing and fill value.
    TImageShape Shape() const;
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent) { transparent_ = transparent; }
    // The first graphic control extension made for this sub-image, while it exists.
    TGIFGraphicControlExtension* GraphicControl() const { return graphicControl_; }
    void SetGraphicControl(TGIFGraphicControlExtension* extension) { graphicControl_ = extension; }

    TGIFVersion Version() const override;
    void LoadFromStream(TByteReader& in) override;
    // With its own pixels; a whole image's save works out the largest bits once (SaveWith).
    void SaveToStream(TByteWriter& out) const override;
    // Writes the extensions and, when `pixels` is not empty and the image has a size, the image
    // with `pixels` as its colour indexes. `largestBits` is the document's LargestBitsPerPixel,
    // which an image without its own table is encoded with. Where the image data went, or
    // nullopt when no image was written.
    std::optional<TWrittenData> SaveWith(TByteWriter& out, std::span<const std::uint8_t> pixels,
                                         int largestBits) const;

private:
    void Clear();
    void LoadImage(TByteReader& in);
    TWrittenData SaveImage(TByteWriter& out, std::span<const std::uint8_t> pixels,
                           int largestBits) const;
    std::uint8_t FillValue() const;

    // Declared before the extensions: a graphic control extension clears this reference
    // when the list destroys it.
    TGIFGraphicControlExtension* graphicControl_ = nullptr;
    bool transparent_ = false;
    TGIFExtensionList extensions_;
    TGIFColorMap colorMap_;
    TImageDescriptor descriptor_;
    TPixels pixels_;
};

}  // namespace gif
