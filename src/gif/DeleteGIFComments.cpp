#include "gif/DeleteGIFComments.h"

#include <vector>

#include "gif/ByteReader.h"
#include "gif/ByteWriter.h"
#include "gif/GIFFile.h"

namespace gif {
namespace {

void DeleteComments(TGIFSubImage& subImage) {
    TGIFExtensionList& extensions = subImage.Extensions();
    for (int i = extensions.Count() - 1; i >= 0; --i) {
        if (dynamic_cast<TGIFCommentExtension*>(&extensions.Items(i)) != nullptr) {
            extensions.Delete(i);
        }
    }
}

}  // namespace

void DeleteGIFComments(TGIFDocument& image, const std::string& path) {
    const std::vector<std::uint8_t> original = ReadWholeFile(path);
    TByteReader in(original);
    image.LoadFromStream(in);

    for (int i = 0; i < image.Images().Count(); ++i)
        DeleteComments(image.Images().Items(i));

    // Opened before encoding, so a file that cannot be written reports that first, as a save
    // that creates the file before writing it would.
    TInPlaceFile file(path);
    TByteWriter out;
    out.Reserve(original.size() + original.size() / 8 + 1024);
    image.SaveToStream(out);
    file.Replace(out.Bytes(), original);
}

}  // namespace gif
