#include "gif/DeleteGIFComments.h"

#include <string>

#include "gif/ByteReader.h"
#include "gif/ByteWriter.h"
#include "gif/GIFException.h"
#include "gif/LoadUndamaged.h"
#include "gif/SaveFrameByFrame.h"

namespace gif {
namespace {

constexpr std::size_t kScreenDescriptorSize = 7;

bool IsComment(const TGIFExtension& extension) {
    return dynamic_cast<const TGIFCommentExtension*>(&extension) != nullptr;
}

int CountComments(const TGIFDocument& image) {
    int count = 0;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFExtensionList& extensions = image.Images().Items(i).Extensions();
        for (int j = 0; j < extensions.Count(); ++j)
            count += IsComment(extensions.Items(j)) ? 1 : 0;
    }
    return count;
}

// The blocks of a file, its image data stepped over: a file without comments is left as it is
// without a pixel decoded. Damage to its blocks still counts, since comments could lie behind
// it. Where each image's data starts is kept for its turn to be decoded, and an image too
// large to decode is refused before anything is.
struct Blocks {
    int comments = 0;
    std::vector<std::size_t> dataStarts;
};

Blocks ReadBlocks(TGIFDocument& image, std::span<const std::uint8_t> bytes) {
    Blocks blocks;
    std::vector<TImageShape> shapes;
    LoadUndamaged(image, bytes, [&](TByteReader& in, const TImageShape& shape) {
        blocks.dataStarts.push_back(in.Position());
        shapes.push_back(shape);
        SkipImageData(in);
    });
    blocks.comments = CountComments(image);
    if (blocks.comments > 0) {
        for (const TImageShape& shape : shapes)
            CheckImageSize(shape);
    }
    return blocks;
}

}  // namespace

void CheckHeader(std::span<const std::uint8_t> head) {
    TByteReader in(head);
    TGIFHeader::ReadSignature(in);
    // A head shorter than kHeaderSize is the whole file, which must hold the screen descriptor;
    // a full one may end before a descriptor that stands behind a prefix.
    if (head.size() < kHeaderSize && in.Remaining() < kScreenDescriptorSize)
        throw GIFException(msg::kPrematureEnd);
}

std::optional<std::vector<std::uint8_t>> DeleteGIFComments(TGIFDocument& image,
                                                           std::span<const std::uint8_t> original) {
    const Blocks blocks = ReadBlocks(image, original);
    if (blocks.comments == 0)
        return std::nullopt;

    for (int i = 0; i < image.Images().Count(); ++i)
        image.Images().Items(i).Extensions().DeleteIf(IsComment);
    // Damage in an image's data is met when that image is decoded, before anything is written
    // anywhere but into memory.
    const TFramePixels decode = [&](std::size_t frame, const TImageShape& shape) {
        TByteReader in(original);
        in.Seek(blocks.dataStarts[frame]);
        return DecodeImageData(in, shape,
                               [](const std::string& message) { throw GIFException(message); });
    };
    TByteWriter out;
    out.Reserve(original.size() + original.size() / 8 + 1024);
    SaveFrameByFrame(image, decode, out);
    return out.Take();
}

int CountGIFComments(TGIFDocument& image, std::span<const std::uint8_t> original) {
    return ReadBlocks(image, original).comments;
}

}  // namespace gif
