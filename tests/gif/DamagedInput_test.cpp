// Damaged files: cut at every offset and with random bytes changed. Loading must either work
// or fail with one of the reader's messages; whatever loads must be written as a file that
// loads again to the same pixels.

#include <gtest/gtest.h>

#include <set>

#include "GIFTestSupport.h"
#include "gif/DeleteGIFComments.h"

namespace {

using giftest::Bytes;
using giftest::GifBuilder;

const std::set<std::string> kMessages = {
    "Premature end of data",
    "Invalid GIF signature",
    "Unknown extension type",
    "Internal error: Extension Instance does not match Extension Label",
    "Invalid extension introducer",
    "Unsupported Application Extension block size",
    "Invalid GIF data",
    "Circular decoder table entry",
    "Unsupported GIF version",
    "Color not in color table",
};

std::vector<Bytes> SampleFiles() {
    std::mt19937 random(23);
    std::vector<Bytes> samples;
    samples.push_back(GifBuilder()
                          .Header(9, 7, 4)
                          .Loop(2)
                          .Comment({"sample", "two"})
                          .GraphicControl(true, 3)
                          .Image({1, 1, 6, 5, giftest::RandomPixels(random, 30, 4), 0, true})
                          .Comment({"between"})
                          .Image({0, 0, 9, 7, giftest::RandomPixels(random, 63, 16), 16, false})
                          .Comment({"end"})
                          .Trailer()
                          .Get());
    samples.push_back(GifBuilder()
                          .Header(40, 30, 256)
                          .Image({0, 0, 40, 30, giftest::RandomPixels(random, 1200, 256), 0, false},
                                 {.clearWhenFull = false, .subBlockSize = 7})
                          .Trailer()
                          .Get());
    samples.push_back(
        GifBuilder()
            .Header(12, 12, 0)
            .Raw({0x21, 0x01, 12, 0, 0, 0, 0, 12, 0, 12, 0, 8, 8, 1, 0, 3, 'a', 'b', 'c', 0})
            .Image({0, 0, 12, 12, giftest::PatternPixels(12, 12, 2), 2, true})
            .Trailer()
            .Get());
    return samples;
}

// Loads, and when that works, writes and loads the output again.
void CheckSurvives(const Bytes& file) {
    gif::TGIFDocument image;
    image.SetWarningHandler([](const std::string&) {});
    std::string error = giftest::ErrorOf([&] { giftest::Load(image, file); });
    if (!error.empty()) {
        EXPECT_TRUE(kMessages.count(error)) << error;
        return;
    }
    Bytes output;
    error = giftest::ErrorOf([&] { output = giftest::Save(image); });
    if (!error.empty()) {
        EXPECT_TRUE(kMessages.count(error)) << error;
        return;
    }
    gif::TGIFDocument again;
    ASSERT_EQ(giftest::ErrorOf([&] { giftest::Load(again, output); }), "");
    ASSERT_LE(again.Images().Count(), image.Images().Count());
    for (int i = 0, j = 0; i < image.Images().Count(); ++i) {
        if (image.Images().Items(i).Empty())
            continue;
        while (j < again.Images().Count() && again.Images().Items(j).Empty())
            ++j;
        ASSERT_LT(j, again.Images().Count());
        EXPECT_EQ(again.Images().Items(j++).Pixels(), image.Images().Items(i).Pixels());
    }
}

TEST(DamagedInput, CutAtEveryOffset) {
    for (const Bytes& sample : SampleFiles()) {
        for (std::size_t length = 0; length <= sample.size(); ++length) {
            SCOPED_TRACE(length);
            CheckSurvives(
                Bytes(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(length)));
        }
    }
}

TEST(DamagedInput, RandomByteChanges) {
    std::mt19937 random(99);
    for (const Bytes& sample : SampleFiles()) {
        for (int round = 0; round < 500; ++round) {
            Bytes file = sample;
            const int changes = 1 + round % 4;
            for (int k = 0; k < changes; ++k) {
                std::uniform_int_distribution<std::size_t> at(0, file.size() - 1);
                file[at(random)] = static_cast<std::uint8_t>(random());
            }
            SCOPED_TRACE(round);
            CheckSurvives(file);
        }
    }
}

// Comment removal on a cut file either refuses it or writes images giflib reads exactly as it
// reads them in the whole file: nothing is made up for the part that is missing.
TEST(DamagedInput, CutFilesAreRefusedOrLoseNothing) {
    const Bytes sample = SampleFiles().front();
    const auto whole = giftest::GiflibDecode(sample);
    ASSERT_TRUE(whole.has_value());
    for (std::size_t length = 0; length <= sample.size(); ++length) {
        SCOPED_TRACE(length);
        const Bytes cut(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(length));
        gif::TGIFDocument image;
        std::optional<Bytes> output;
        if (!giftest::ErrorOf([&] { output = gif::DeleteGIFComments(image, cut); }).empty() ||
            !output.has_value()) {
            continue;
        }
        // giflib reads no file without an image, and a cut before the first image leaves none.
        gif::TGIFDocument reread;
        giftest::Load(reread, *output);
        int images = 0;
        for (int i = 0; i < reread.Images().Count(); ++i)
            images += reread.Images().Items(i).Empty() ? 0 : 1;
        const auto frames = giftest::GiflibDecode(*output).value_or(std::vector<giftest::Frame>{});
        ASSERT_EQ(frames.size(), static_cast<std::size_t>(images));
        for (std::size_t i = 0; i < frames.size(); ++i)
            EXPECT_EQ(frames[i].pixels, (*whole)[i].pixels) << "frame " << i;
    }
}

}  // namespace
