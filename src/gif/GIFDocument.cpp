#include "gif/GIFDocument.h"

#include <algorithm>
#include <array>
#include <memory>

#include "gif/GIFException.h"

namespace gif {
namespace {

constexpr std::uint8_t kGlobalTableFlag = 0x80;
constexpr std::uint8_t kGlobalSortedFlag = 0x08;
// Some writers put a 4-byte prefix (a size or a tag) before the signature.
constexpr std::size_t kSignaturePrefix = 4;

// "GIF" in any letter case; the three version bytes are not examined.
bool IsSignature(const std::array<std::uint8_t, 6>& bytes) {
    constexpr std::array<char, 3> kGif{'G', 'I', 'F'};
    for (std::size_t i = 0; i < kGif.size(); ++i) {
        const char c = static_cast<char>(bytes[i]);
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper != kGif[i])
            return false;
    }
    return true;
}

// Zero bytes between blocks are skipped; false at the end of the data.
bool ReadBlockStart(TByteReader& in, std::uint8_t& value) {
    while (in.ReadByte(value)) {
        if (value != 0)
            return true;
    }
    return false;
}

}  // namespace

void TGIFItem::Warning(const std::string& message) const {
    Image().Warning(message);
}

// ---- header ----

TGIFVersion TGIFHeader::Version() const {
    return colorMap_.Sorted() || screen_.aspectRatio != 0 ? TGIFVersion::GIF89a
                                                          : TGIFVersion::GIF87a;
}

void TGIFHeader::Clear() {
    screen_.width = 0;
    screen_.height = 0;
    colorMap_.Clear();
}

void TGIFHeader::ReadSignature(TByteReader& in) {
    const std::size_t start = in.Position();
    std::array<std::uint8_t, 6> signature{};
    in.ReadExact(signature.data(), signature.size());
    if (!IsSignature(signature)) {
        in.Seek(start);
        in.Skip(kSignaturePrefix);
        in.ReadExact(signature.data(), signature.size());
        if (!IsSignature(signature))
            throw GIFException(msg::kInvalidSignature);
    }
}

void TGIFHeader::LoadFromStream(TByteReader& in) {
    ReadSignature(in);
    std::array<std::uint8_t, 7> bytes{};
    in.ReadExact(bytes.data(), bytes.size());
    screen_ = {GetU16(&bytes[0]), GetU16(&bytes[2]), bytes[4], bytes[5], bytes[6]};
    if (screen_.packed & kGlobalTableFlag) {
        colorMap_.LoadFromStream(in, 2 << (screen_.packed & 7));
    } else {
        colorMap_.Clear();
    }
}

void TGIFHeader::SaveToStream(TByteWriter& out) const {
    const TGIFDocumentList& images = Image().Images();
    if (images.Count() == 0)
        throw GIFException(msg::kUnsupportedVersion);
    // Only the blocks decide the version; a file left without extensions is a GIF87a file.
    bool needs89a = false;
    int largestLocalBits = 0;
    for (int i = 0; i < images.Count(); ++i) {
        const TGIFSubImage& subImage = images.Items(i);
        needs89a = needs89a || subImage.Version() == TGIFVersion::GIF89a;
        largestLocalBits = std::max(largestLocalBits, subImage.ColorMap().BitsPerPixel());
    }
    const char* version = needs89a ? "GIF89a" : "GIF87a";
    out.Write(reinterpret_cast<const std::uint8_t*>(version), 6);

    // An empty map counts as -1 bits below, which leaves 7 in a field when no map has entries.
    const int largestBits = std::max(colorMap_.BitsPerPixel(), largestLocalBits);
    const int tableBits = colorMap_.Empty() ? largestLocalBits : colorMap_.BitsPerPixel();
    std::uint8_t packed =
        static_cast<std::uint8_t>((((largestBits - 1) & 7) << 4) | ((tableBits - 1) & 7));
    if (!colorMap_.Empty()) {
        packed |= kGlobalTableFlag;
        if (colorMap_.Sorted())
            packed |= kGlobalSortedFlag;
    }
    out.PutU16(screen_.width);
    out.PutU16(screen_.height);
    out.Put(packed);
    out.Put(screen_.backgroundIndex);
    out.Put(screen_.aspectRatio);
    colorMap_.SaveToStream(out);
}

// ---- trailer ----

void TGIFTrailer::LoadFromStream(TByteReader& in) {
    std::uint8_t value = 0;
    if (in.ReadByte(value) && value != kTrailer)
        Warning(msg::kInvalidTrailer);
}

void TGIFTrailer::SaveToStream(TByteWriter& out) const {
    out.Put(kTrailer);
}

// ---- the list of sub-images ----

void TGIFDocumentList::LoadFromStream(TByteReader& in) {
    std::uint8_t next = 0;
    if (!ReadBlockStart(in, next))
        return;
    while (next != kTrailer) {
        in.StepBack();
        if (next != kExtensionIntroducer && next != kImageSeparator) {
            // Nothing after an unknown block can be trusted; the trailer check warns as well.
            Image().Warning(msg::kUnknownBlockType);
            return;
        }
        auto subImage = std::make_unique<TGIFSubImage>(Image());
        subImage->LoadFromStream(in);
        Add(std::move(subImage));
        if (!ReadBlockStart(in, next))
            return;
    }
    in.StepBack();
}

// ---- the image ----

TGIFDocument::TGIFDocument() : header_(*this), images_(*this), trailer_(*this) {}

TGIFDocument::~TGIFDocument() = default;

void TGIFDocument::Warning(const std::string& message) const {
    if (warningHandler_)
        warningHandler_(message);
}

void TGIFDocument::Clear() {
    images_.Clear();
    header_.Clear();
}

void TGIFDocument::LoadFromStream(TByteReader& in) {
    Clear();
    const std::size_t start = in.Position();
    try {
        header_.LoadFromStream(in);
        images_.LoadFromStream(in);
        trailer_.LoadFromStream(in);
    } catch (...) {
        in.Seek(start);
        throw;
    }
}

void TGIFDocument::SaveToStream(TByteWriter& out) const {
    header_.SaveToStream(out);
    // Worked out once: every image without its own table is encoded with it.
    const int largestBits = LargestBitsPerPixel();
    for (int i = 0; i < images_.Count(); ++i) {
        const TGIFSubImage& subImage = images_.Items(i);
        subImage.SaveWith(out, subImage.Pixels(), largestBits);
    }
    trailer_.SaveToStream(out);
}

int TGIFDocument::LargestBitsPerPixel() const {
    int bits = header_.ColorMap().BitsPerPixel();
    for (int i = 0; i < images_.Count(); ++i) {
        bits = std::max(bits, images_.Items(i).ColorMap().BitsPerPixel());
    }
    return bits;
}

}  // namespace gif
