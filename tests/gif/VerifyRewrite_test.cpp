// The check before new bytes may replace a file: every difference from what was loaded is
// found, and nothing is found where there is none.

#include <gtest/gtest.h>

#include <functional>

#include "GIFTestSupport.h"
#include "gif/VerifyRewrite.h"

namespace {

using giftest::Bytes;
using giftest::GifBuilder;

Bytes Sample() {
    std::mt19937 random(31);
    return GifBuilder()
        .Header(6, 5, 4)
        .Loop(0)
        .GraphicControl(true, 2, 7)
        .Image({0, 0, 6, 5, giftest::RandomPixels(random, 30, 4), 0, true})
        .Image({1, 1, 4, 3, giftest::RandomPixels(random, 12, 8), 8, false})
        .Trailer()
        .Get();
}

TEST(VerifyRewrite, FindsEveryDifference) {
    // Offsets in the written sample: screen width at 6, global table at 13, the loop block at
    // 25 and the graphic control block at 44, its delay at 48.
    struct Case {
        const char* name;
        std::function<void(gif::TGIFDocument&, Bytes&)> change;
        std::string difference;  // "" when there is none
    };
    const Case cases[] = {
        {"nothing", [](gif::TGIFDocument&, Bytes&) {}, ""},
        {"a pixel of the interlaced image",
         [](gif::TGIFDocument& doc, Bytes&) { doc.Images().Items(0).Pixels()[29] ^= 1; },
         "pixels of image 1"},
        {"a pixel of the second image",
         [](gif::TGIFDocument& doc, Bytes&) { doc.Images().Items(1).Pixels()[0] ^= 1; },
         "pixels of image 2"},
        {"an image less", [](gif::TGIFDocument& doc, Bytes&) { doc.Images().Delete(1); },
         "number of images"},
        {"screen width", [](gif::TGIFDocument&, Bytes& bytes) { bytes[6] ^= 1; }, "logical screen"},
        {"global colour", [](gif::TGIFDocument&, Bytes& bytes) { bytes[13] ^= 1; },
         "global colour table"},
        {"delay", [](gif::TGIFDocument&, Bytes& bytes) { bytes[48] ^= 1; },
         "extension blocks of image 1"},
        {"cut short", [](gif::TGIFDocument&, Bytes& bytes) { bytes.resize(bytes.size() - 4); },
         "Premature end of data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gif::TGIFDocument doc;
        giftest::Load(doc, Sample());
        Bytes written = giftest::Save(doc);
        c.change(doc, written);
        const gif::TPixels interlaced = doc.Images().Items(0).Pixels();
        const std::string error = giftest::ErrorOf([&] { gif::VerifyRewrite(doc, written); });
        EXPECT_EQ(error, c.difference.empty()
                             ? ""
                             : "Verification of the rewritten GIF failed: " + c.difference);
        // The rows moved for the comparison are back in their places.
        EXPECT_EQ(doc.Images().Items(0).Pixels(), interlaced);
    }
}

}  // namespace
