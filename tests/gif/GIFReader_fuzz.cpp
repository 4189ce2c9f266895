// libFuzzer target for the GIF reader: any bytes must load or fail with a GIFException, and
// whatever loads must be written as a file that loads again.

#include <cstddef>
#include <cstdint>

#include "gif/GIFDocument.h"

namespace {

// A damaged header can ask for a 65535 x 65535 image; the fuzzer should find real faults, not
// spend its memory and time on honest fill values.
constexpr std::size_t kPixelLimit = std::size_t{1} << 22;

std::size_t PixelCount(const gif::TGIFDocument& image) {
    std::size_t pixels = 0;
    for (int i = 0; i < image.Images().Count(); ++i)
        pixels += image.Images().Items(i).Pixels().size();
    return pixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gif::TGIFDocument image;
    image.SetWarningHandler([](const std::string&) {});
    image.SetPixelLimit(kPixelLimit);
    try {
        gif::TByteReader in(std::span<const std::uint8_t>(data, size));
        image.LoadFromStream(in);
        if (PixelCount(image) > kPixelLimit)
            return 0;
        gif::TByteWriter out;
        image.SaveToStream(out);
        // Our own output must always be readable.
        gif::TGIFDocument again;
        gif::TByteReader written(out.Bytes());
        try {
            again.LoadFromStream(written);
        } catch (const gif::GIFException&) {
            __builtin_trap();
        }
    } catch (const gif::GIFException&) {
        return 0;
    }
    return 0;
}
