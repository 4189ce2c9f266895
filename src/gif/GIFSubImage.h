#pragma once
// One image of a GIF file together with the extensions that precede it. A sub-image without
// image data holds the extensions that stand between the last image and the trailer.

#include <cstdint>

#include "gif/GIFColorMap.h"
#include "gif/GIFExtensions.h"
#include "gif/GIFItem.h"
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
    bool Interlaced() const { return (descriptor_.packed & 0x40) != 0; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent) { transparent_ = transparent; }
    // The first graphic control extension made for this sub-image, while it exists.
    TGIFGraphicControlExtension* GraphicControl() const { return graphicControl_; }
    void SetGraphicControl(TGIFGraphicControlExtension* extension) { graphicControl_ = extension; }

    TGIFVersion Version() const override;
    void LoadFromStream(TByteReader& in) override;
    void SaveToStream(TByteWriter& out) const override;

private:
    void Clear();
    void LoadImage(TByteReader& in);
    void SaveImage(TByteWriter& out) const;
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
