#include "gif/SaveFrameByFrame.h"

#include "gif/VerifyRewrite.h"

namespace gif {

std::vector<TWrittenData> SaveFrameByFrame(const TGIFDocument& image, const TFramePixels& pixelsOf,
                                           TByteWriter& out, const TFrameWriter& write) {
    image.Header().SaveToStream(out);
    const int largestBits = image.LargestBitsPerPixel();
    std::vector<TWrittenData> written;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& subImage = image.Images().Items(i);
        // Freed at the end of each turn, before the next image is decoded.
        TPixels pixels;
        if (subImage.HasImage())
            pixels = pixelsOf(written.size(), subImage.Shape());
        const std::optional<TWrittenData> data = write(subImage, out, pixels, largestBits);
        if (data) {
            VerifyFrame(out.Bytes(), *data, pixels, written.size());
            written.push_back(*data);
        }
    }
    out.Put(kTrailer);
    VerifyRewrite(image, out.Bytes(), written);
    return written;
}

}  // namespace gif
