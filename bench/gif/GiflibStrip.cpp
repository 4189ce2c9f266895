// The giflib side of the benchmark: decodes every image of a file (DGifSlurp), drops the
// comment blocks and encodes the whole file again (EGifSpew), in place.
//
//   giflib_strip FILE...

#include <gif_lib.h>

#include <algorithm>
#include <cstdio>

namespace {

void DropComments(int& count, ExtensionBlock*& blocks) {
    const auto end = std::remove_if(blocks, blocks + count, [](const ExtensionBlock& block) {
        if (block.Function != COMMENT_EXT_FUNC_CODE)
            return false;
        free(block.Bytes);
        return true;
    });
    count = static_cast<int>(end - blocks);
}

bool Strip(const char* path) {
    int error = 0;
    GifFileType* in = DGifOpenFileName(path, &error);
    if (in == nullptr)
        return false;
    if (DGifSlurp(in) != GIF_OK) {
        DGifCloseFile(in, &error);
        return false;
    }
    DropComments(in->ExtensionBlockCount, in->ExtensionBlocks);
    for (int i = 0; i < in->ImageCount; ++i) {
        DropComments(in->SavedImages[i].ExtensionBlockCount, in->SavedImages[i].ExtensionBlocks);
    }
    GifFileType* out = EGifOpenFileName(path, false, &error);
    if (out == nullptr) {
        DGifCloseFile(in, &error);
        return false;
    }
    out->SWidth = in->SWidth;
    out->SHeight = in->SHeight;
    out->SColorResolution = in->SColorResolution;
    out->SBackGroundColor = in->SBackGroundColor;
    out->AspectByte = in->AspectByte;
    out->SColorMap = in->SColorMap;
    out->ImageCount = in->ImageCount;
    out->SavedImages = in->SavedImages;
    out->ExtensionBlockCount = in->ExtensionBlockCount;
    out->ExtensionBlocks = in->ExtensionBlocks;
    // EGifSpew closes `out` and frees the model it was handed; `in` lets go of it first so
    // that nothing is freed twice.
    in->SColorMap = nullptr;
    in->SavedImages = nullptr;
    in->ImageCount = 0;
    in->ExtensionBlocks = nullptr;
    in->ExtensionBlockCount = 0;
    const bool written = EGifSpew(out) == GIF_OK;
    DGifCloseFile(in, &error);
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        if (!Strip(argv[i])) {
            std::fprintf(stderr, "giflib_strip: %s: failed\n", argv[i]);
            status = 1;
        }
    }
    return status;
}
