// The check before new bytes may replace a file: every difference from what was loaded is
// found, and nothing is found where there is none.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <span>

#include "GIFTestSupport.h"
#include "gif/SaveFrameByFrame.h"
#include "gif/VerifyRewrite.h"

namespace {

using giftest::Bytes;
using giftest::GifBuilder;
using Places = std::vector<gif::TWrittenData>;

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

// Each image's pixels as the document holds them.
gif::TFramePixels OwnPixels(const gif::TGIFDocument& doc) {
    return [&doc](std::size_t frame, const gif::TImageShape&) {
        return doc.Images().Items(static_cast<int>(frame)).Pixels();
    };
}

TEST(VerifyRewrite, FindsEveryDifference) {
    // Offsets in the written sample: screen width at 6, global table at 13, the loop block at
    // 25 and the graphic control block at 44, its delay at 48.
    struct Case {
        const char* name;
        std::function<void(gif::TGIFDocument&, Bytes&, Places&)> change;
        std::string difference;  // "" when there is none
    };
    const Case cases[] = {
        {"nothing", [](gif::TGIFDocument&, Bytes&, Places&) {}, ""},
        {"a pixel of the interlaced image",
         [](gif::TGIFDocument& doc, Bytes&, Places&) { doc.Images().Items(0).Pixels()[29] ^= 1; },
         "pixels of image 1"},
        {"a pixel of the second image",
         [](gif::TGIFDocument& doc, Bytes&, Places&) { doc.Images().Items(1).Pixels()[0] ^= 1; },
         "pixels of image 2"},
        {"an image less", [](gif::TGIFDocument& doc, Bytes&, Places&) { doc.Images().Delete(1); },
         "number of images"},
        {"screen width", [](gif::TGIFDocument&, Bytes& bytes, Places&) { bytes[6] ^= 1; },
         "logical screen"},
        {"global colour", [](gif::TGIFDocument&, Bytes& bytes, Places&) { bytes[13] ^= 1; },
         "global colour table"},
        {"delay", [](gif::TGIFDocument&, Bytes& bytes, Places&) { bytes[48] ^= 1; },
         "extension blocks of image 1"},
        // The data read back ends before where its pixels were checked.
        {"cut short",
         [](gif::TGIFDocument&, Bytes& bytes, Places&) { bytes.resize(bytes.size() - 4); },
         "pixels of image 2"},
        {"cut in the global colour table",
         [](gif::TGIFDocument&, Bytes& bytes, Places&) { bytes.resize(20); },
         "Premature end of data"},
        // Data checked in one row order and read back in the other.
        {"rows checked in another order",
         [](gif::TGIFDocument&, Bytes&, Places& places) { places[0].shape.interlaced = false; },
         "pixels of image 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gif::TGIFDocument doc;
        giftest::Load(doc, Sample());
        gif::TByteWriter out;
        Places places = gif::SaveFrameByFrame(doc, OwnPixels(doc), out);
        Bytes written = out.Take();
        c.change(doc, written, places);
        const gif::TPixels interlaced = doc.Images().Items(0).Pixels();
        const std::string error = giftest::ErrorOf([&] {
            gif::VerifyRewrite(doc, written, places);
            for (std::size_t i = 0; i < places.size(); ++i) {
                gif::VerifyFrame(written, places[i],
                                 doc.Images().Items(static_cast<int>(i)).Pixels(), i);
            }
        });
        EXPECT_EQ(error, c.difference.empty()
                             ? ""
                             : "Verification of the rewritten GIF failed: " + c.difference);
        // The rows moved for the comparison are back in their places.
        EXPECT_EQ(doc.Images().Items(0).Pixels(), interlaced);
    }
}

// An encoder that gets an image wrong does not get its bytes out: the rewrite stops with the
// difference named.
TEST(VerifyRewrite, CatchesAFaultyEncoder) {
    using Pixels = std::span<const std::uint8_t>;
    struct Case {
        const char* name;
        gif::TFrameWriter write;
        std::string difference;
    };
    const Case cases[] = {
        {"a pixel changed",
         [](const gif::TGIFSubImage& subImage, gif::TByteWriter& out, Pixels pixels, int bits) {
             gif::TPixels wrong(pixels.begin(), pixels.end());
             wrong.back() ^= 1;
             return subImage.SaveWith(out, wrong, bits);
         },
         "pixels of image 1"},
        // Each image's data is right where its pixels were checked; read back, the copy of
        // image 1 stands where image 2's data should.
        {"an image written twice",
         [](const gif::TGIFSubImage& subImage, gif::TByteWriter& out, Pixels pixels, int bits) {
             const std::optional<gif::TWrittenData> first = subImage.SaveWith(out, pixels, bits);
             subImage.SaveWith(out, pixels, bits);
             return first;
         },
         "pixels of image 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gif::TGIFDocument doc;
        giftest::Load(doc, Sample());
        gif::TByteWriter out;
        EXPECT_EQ(
            giftest::ErrorOf([&] { gif::SaveFrameByFrame(doc, OwnPixels(doc), out, c.write); }),
            "Verification of the rewritten GIF failed: " + c.difference);
    }
}

}  // namespace
