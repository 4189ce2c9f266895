#include "gif/VerifyRewrite.h"

#include <string>
#include <vector>

#include "gif/GIFException.h"
#include "gif/LoadUndamaged.h"

namespace gif {
namespace {

[[noreturn]] void Differs(const std::string& what) {
    throw GIFException(what);
}

std::string ImageName(std::size_t index) {
    return "image " + std::to_string(index + 1);
}

// Items are compared in the form they are written in: equal bytes, equal content.
template <class T>
std::vector<std::uint8_t> BytesOf(const T& item) {
    TByteWriter out;
    item.SaveToStream(out);
    return out.Take();
}

// The text of a difference, and of damage the reader or decoder found in the new bytes.
template <class Fn>
void Verifying(Fn&& check) {
    try {
        check();
    } catch (const GIFException& error) {
        throw GIFException(msg::kVerificationFailed + std::string(error.what()));
    }
}

// The sub-images that leave anything in a file: one with neither an image nor extensions (the
// comments after the last image, deleted) writes nothing.
std::vector<const TGIFSubImage*> WrittenSubImages(const TGIFDocument& image) {
    std::vector<const TGIFSubImage*> written;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& subImage = image.Images().Items(i);
        if (subImage.HasImage() || subImage.Extensions().Count() > 0)
            written.push_back(&subImage);
    }
    return written;
}

void CompareScreens(const TGIFDocument& loaded, const TGIFDocument& reread) {
    const TLogicalScreenDescriptor& a = loaded.Header().Screen();
    const TLogicalScreenDescriptor& b = reread.Header().Screen();
    if (a.width != b.width || a.height != b.height || a.backgroundIndex != b.backgroundIndex ||
        a.aspectRatio != b.aspectRatio) {
        Differs("logical screen");
    }
    if (BytesOf(loaded.Header().ColorMap()) != BytesOf(reread.Header().ColorMap()))
        Differs("global colour table");
}

// Everything but the pixels, which were compared while they were written.
void CompareSubImages(const TGIFSubImage& a, const TGIFSubImage& b, std::size_t index) {
    const TImageDescriptor& da = a.Descriptor();
    const TImageDescriptor& db = b.Descriptor();
    if (a.HasImage() != b.HasImage() || da.left != db.left || da.top != db.top ||
        da.width != db.width || da.height != db.height) {
        Differs("place or size of " + ImageName(index));
    }
    if (BytesOf(a.ColorMap()) != BytesOf(b.ColorMap()))
        Differs("local colour table of " + ImageName(index));
    if (a.Extensions().Count() != b.Extensions().Count())
        Differs("extension blocks of " + ImageName(index));
    for (int i = 0; i < a.Extensions().Count(); ++i) {
        if (BytesOf(a.Extensions().Items(i)) != BytesOf(b.Extensions().Items(i)))
            Differs("extension blocks of " + ImageName(index));
    }
}

}  // namespace

void VerifyFrame(std::span<const std::uint8_t> rewritten, const TWrittenData& data,
                 std::span<std::uint8_t> pixels, std::size_t index) {
    Verifying([&] {
        TByteReader in(rewritten);
        in.Seek(data.start);
        const TGIFWarningHandler damage = [](const std::string& message) {
            throw GIFException(message);
        };
        if (!ImageDataMatches(in, data.shape, pixels, damage) || in.Position() != data.end)
            Differs("pixels of " + ImageName(index));
    });
}

void VerifyRewrite(const TGIFDocument& loaded, std::span<const std::uint8_t> rewritten,
                   std::span<const TWrittenData> written) {
    Verifying([&] {
        TGIFDocument reread;
        std::size_t frame = 0;
        LoadUndamaged(reread, rewritten, [&](TByteReader& in, const TImageShape& shape) {
            if (frame == written.size())
                Differs("number of images");
            const std::size_t start = in.Position();
            SkipImageData(in);
            if (TWrittenData{start, in.Position(), shape} != written[frame])
                Differs("pixels of " + ImageName(frame));
            ++frame;
        });
        if (frame != written.size())
            Differs("number of images");
        CompareScreens(loaded, reread);
        const std::vector<const TGIFSubImage*> expected = WrittenSubImages(loaded);
        const std::vector<const TGIFSubImage*> found = WrittenSubImages(reread);
        if (expected.size() != found.size())
            Differs("number of images");
        for (std::size_t i = 0; i < expected.size(); ++i)
            CompareSubImages(*expected[i], *found[i], i);
    });
}

}  // namespace gif
