// libFuzzer target for comment removal and the reader, writer and encoder behind it: any bytes
// must be refused with a GIFException or give new bytes that pass verification. Verification
// failing on input that was accepted is a fault of our own, and stops the fuzzer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "gif/ByteWriter.h"
#include "gif/DeleteGIFComments.h"
#include "gif/GIFException.h"
#include "gif/LoadUndamaged.h"
#include "gif/SaveFrameByFrame.h"

namespace {

template <class Fn>
void ExpectVerified(Fn&& fn) {
    try {
        fn();
    } catch (const gif::GIFException& error) {
        if (std::string_view(error.what()).starts_with(gif::msg::kVerificationFailed))
            __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    ExpectVerified([&] {
        gif::TGIFDocument image;
        gif::DeleteGIFComments(image, bytes);
    });
    // The same rewrite whether or not the input holds a comment, so that inputs without one
    // still reach the decoder, the encoder and the verification.
    ExpectVerified([&] {
        gif::TGIFDocument image;
        gif::LoadUndamaged(image, bytes);
        std::vector<const gif::TPixels*> frames;
        for (int i = 0; i < image.Images().Count(); ++i) {
            if (image.Images().Items(i).HasImage())
                frames.push_back(&image.Images().Items(i).Pixels());
        }
        gif::TByteWriter out;
        gif::SaveFrameByFrame(
            image, [&](std::size_t frame, const gif::TImageShape&) { return *frames[frame]; }, out);
    });
    return 0;
}
