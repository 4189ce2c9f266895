#pragma once
// The in-memory model of a GIF87a/GIF89a file: the header, every image decoded to colour
// indexes with the extensions before it, read whole and written back with fresh image data.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "gif/GIFColorMap.h"
#include "gif/GIFItem.h"
#include "gif/GIFSubImage.h"
#include "gif/LZWDecoder.h"

namespace gif {

struct TLogicalScreenDescriptor {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    // Bit 7 global colour table, bits 4-6 colour resolution, bit 3 sorted, bits 0-2 table size.
    std::uint8_t packed = 0;
    std::uint8_t backgroundIndex = 0;
    std::uint8_t aspectRatio = 0;
};

// The signature, the logical screen descriptor and the global colour table.
class TGIFHeader : public TGIFItem {
public:
    using TGIFItem::TGIFItem;

    TLogicalScreenDescriptor& Screen() { return screen_; }
    const TLogicalScreenDescriptor& Screen() const { return screen_; }
    TGIFColorMap& ColorMap() { return colorMap_; }
    const TGIFColorMap& ColorMap() const { return colorMap_; }

    TGIFVersion Version() const override;
    void LoadFromStream(TByteReader& in) override;
    // "GIF" in any letter case at the reader's position or 4 bytes further on, and the three
    // version bytes, which are not examined; "Invalid GIF signature" otherwise.
    static void ReadSignature(TByteReader& in);
    // The version and the packed byte are worked out from the whole image, not taken as read.
    void SaveToStream(TByteWriter& out) const override;
    void Clear();

private:
    TLogicalScreenDescriptor screen_;
    TGIFColorMap colorMap_;
};

// The trailer byte ";".
class TGIFTrailer : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    void LoadFromStream(TByteReader& in) override;
    void SaveToStream(TByteWriter& out) const override;
};

class TGIFDocumentList : public TGIFList<TGIFSubImage> {
public:
    using TGIFList::TGIFList;
    // Reads sub-images up to the trailer, an unknown block or the end of the data.
    void LoadFromStream(TByteReader& in);
};

// Takes one image's data from the reader in place of decoding it; `shape` is what decoding
// would be given.
using TImageDataReader = std::function<void(TByteReader& in, const TImageShape& shape)>;

class TGIFDocument {
public:
    TGIFDocument();
    ~TGIFDocument();
    TGIFDocument(const TGIFDocument&) = delete;
    TGIFDocument& operator=(const TGIFDocument&) = delete;

    TGIFHeader& Header() { return header_; }
    const TGIFHeader& Header() const { return header_; }
    TGIFDocumentList& Images() { return images_; }
    const TGIFDocumentList& Images() const { return images_; }

    int Width() const { return header_.Screen().width; }
    int Height() const { return header_.Screen().height; }
    bool Empty() const { return images_.Count() == 0; }

    // Warnings are dropped unless a handler is set.
    void SetWarningHandler(TGIFWarningHandler handler) { warningHandler_ = std::move(handler); }
    const TGIFWarningHandler& WarningHandler() const { return warningHandler_; }
    void Warning(const std::string& message) const;

    // What a load does with each image's data; unset, it is decoded into the image's pixels.
    void SetImageDataReader(TImageDataReader reader) { imageDataReader_ = std::move(reader); }
    const TImageDataReader& ImageDataReader() const { return imageDataReader_; }

    void Clear();
    // Replaces the content by the file read from the reader's position. On an error the
    // reader goes back to where it started, the sub-images read so far stay, and the error
    // is passed on.
    void LoadFromStream(TByteReader& in);
    void SaveToStream(TByteWriter& out) const;

    // The largest bits per pixel of the global and every local colour map.
    int LargestBitsPerPixel() const;

private:
    TGIFWarningHandler warningHandler_;
    TImageDataReader imageDataReader_;
    TGIFHeader header_;
    TGIFDocumentList images_;
    TGIFTrailer trailer_;
};

}  // namespace gif
