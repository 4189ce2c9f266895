#include "gif/GIFSubImage.h"

#include <array>
#include <cassert>

#include "gif/GIFDocument.h"
#include "gif/GIFException.h"
#include "gif/LZWDecoder.h"
#include "gif/LZWEncoder.h"

namespace gif {
namespace {

constexpr std::uint8_t kLocalTableFlag = 0x80;
constexpr std::uint8_t kInterlacedFlag = 0x40;
constexpr std::uint8_t kSortedFlag = 0x20;
// Interlace and the two reserved bits: what an image without a local table keeps.
constexpr std::uint8_t kKeptWithoutTable = 0x58;

}  // namespace

void TGIFExtensionList::LoadFromStream(TByteReader& in, TGIFSubImage& parent) {
    std::uint8_t next = 0;
    if (!in.ReadByte(next))
        return;
    while (next != kImageSeparator && next != kTrailer) {
        if (next != kExtensionIntroducer) {
            // The sub-image reader decides what the stray byte is.
            Image().Warning(msg::kInvalidIntroducer);
            in.StepBack();
            return;
        }
        const TGIFExtensionClass* extensionClass = FindExtensionClass(in);
        if (extensionClass == nullptr)
            throw GIFException(msg::kUnknownExtension);
        in.StepBack();
        std::unique_ptr<TGIFExtension> extension = extensionClass->create(parent);
        extension->LoadFromStream(in);
        Add(std::move(extension));
        if (!in.ReadByte(next))
            return;
    }
    in.StepBack();
}

TGIFSubImage::TGIFSubImage(TGIFDocument& image) : TGIFItem(image), extensions_(image) {}

TGIFSubImage::~TGIFSubImage() = default;

bool TGIFSubImage::Empty() const {
    return pixels_.empty() || !HasImage();
}

TGIFVersion TGIFSubImage::Version() const {
    return colorMap_.Sorted() || extensions_.Count() > 0 ? TGIFVersion::GIF89a
                                                         : TGIFVersion::GIF87a;
}

void TGIFSubImage::Clear() {
    extensions_.Clear();
    colorMap_.Clear();
    pixels_.clear();
    pixels_.shrink_to_fit();
    descriptor_.width = 0;
    descriptor_.height = 0;
    transparent_ = false;
    graphicControl_ = nullptr;
}

void TGIFSubImage::LoadFromStream(TByteReader& in) {
    Clear();
    extensions_.LoadFromStream(in, *this);
    std::uint8_t next = 0;
    if (!in.ReadByte(next))
        return;
    in.StepBack();
    if (next == kTrailer || next == 0x00)
        return;
    LoadImage(in);
}

void TGIFSubImage::LoadImage(TByteReader& in) {
    // Whatever byte stands here is taken as the separator.
    std::array<std::uint8_t, 10> bytes{};
    in.ReadExact(bytes.data(), bytes.size());
    descriptor_ = {bytes[0],          GetU16(&bytes[1]), GetU16(&bytes[3]),
                   GetU16(&bytes[5]), GetU16(&bytes[7]), bytes[9]};
    if (descriptor_.width == 0 || descriptor_.height == 0) {
        descriptor_.width = Image().Header().Screen().width;
        descriptor_.height = Image().Header().Screen().height;
        Warning(msg::kImageExceedsScreen);
    }
    if (descriptor_.packed & kLocalTableFlag) {
        colorMap_.LoadFromStream(in, 2 << (descriptor_.packed & 7));
    }
    if (const TImageDataReader& reader = Image().ImageDataReader()) {
        reader(in, Shape());
    } else {
        pixels_ = DecodeImageData(in, Shape(), Image().WarningHandler());
    }
}

TImageShape TGIFSubImage::Shape() const {
    return {descriptor_.width, descriptor_.height, Interlaced(), FillValue()};
}

std::uint8_t TGIFSubImage::FillValue() const {
    if (transparent_ && graphicControl_ != nullptr)
        return graphicControl_->TransparentColorIndex();
    return 0;
}

void TGIFSubImage::SaveToStream(TByteWriter& out) const {
    SaveWith(out, pixels_, Image().LargestBitsPerPixel());
}

std::optional<TWrittenData> TGIFSubImage::SaveWith(TByteWriter& out,
                                                   std::span<const std::uint8_t> pixels,
                                                   int largestBits) const {
    extensions_.SaveToStream(out);
    if (pixels.empty() || !HasImage())
        return std::nullopt;
    return SaveImage(out, pixels, largestBits);
}

TWrittenData TGIFSubImage::SaveImage(TByteWriter& out, std::span<const std::uint8_t> pixels,
                                     int largestBits) const {
    assert(pixels.size() == static_cast<std::size_t>(descriptor_.width) * descriptor_.height);
    // An image with its own table is always written non-interlaced: its rows go out in
    // natural order.
    std::uint8_t packed = descriptor_.packed & kKeptWithoutTable;
    if (!colorMap_.Empty()) {
        packed =
            static_cast<std::uint8_t>(kLocalTableFlag | (colorMap_.Sorted() ? kSortedFlag : 0) |
                                      ((colorMap_.BitsPerPixel() - 1) & 7));
    }
    out.Put(kImageSeparator);
    out.PutU16(descriptor_.left);
    out.PutU16(descriptor_.top);
    out.PutU16(descriptor_.width);
    out.PutU16(descriptor_.height);
    out.Put(packed);
    colorMap_.SaveToStream(out);

    TEncoderSource source;
    source.pixels = pixels.data();
    source.width = descriptor_.width;
    source.height = descriptor_.height;
    source.interlaced = (packed & kInterlacedFlag) != 0;
    if (!colorMap_.Empty()) {
        source.bitsPerPixel = colorMap_.BitsPerPixel();
        source.colorCount = colorMap_.Count();
    } else {
        source.bitsPerPixel = largestBits;
        source.colorCount = 1 << source.bitsPerPixel;
    }
    TWrittenData written;
    written.start = out.Bytes().size();
    EncodeImageData(out, source);
    written.end = out.Bytes().size();
    written.shape = {source.width, source.height, source.interlaced, FillValue()};
    return written;
}

}  // namespace gif
