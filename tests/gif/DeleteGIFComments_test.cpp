// Comment removal on the bytes of a file: what the new bytes hold, which files are left alone
// (nothing to write), and which are refused as damaged.

#include <gtest/gtest.h>

#include "GIFTestSupport.h"
#include "gif/DeleteGIFComments.h"

namespace {

using giftest::Bytes;
using giftest::Cat;
using giftest::GifBuilder;
using giftest::TestImage;

Bytes Cut(const Bytes& bytes, std::size_t length) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

// The new bytes; fails the test when nothing was written.
Bytes Strip(const Bytes& input) {
    gif::TGIFDocument image;
    const auto output = gif::DeleteGIFComments(image, input);
    EXPECT_TRUE(output.has_value());
    return output.value_or(Bytes{});
}

bool HasComment(const Bytes& file) {
    gif::TGIFDocument doc;
    giftest::Load(doc, file);
    for (int i = 0; i < doc.Images().Count(); ++i) {
        auto& extensions = doc.Images().Items(i).Extensions();
        for (int j = 0; j < extensions.Count(); ++j) {
            if (dynamic_cast<gif::TGIFCommentExtension*>(&extensions.Items(j)))
                return true;
        }
    }
    return false;
}

std::vector<giftest::Frame> Frames(const Bytes& file) {
    auto frames = giftest::GiflibDecode(file);
    EXPECT_TRUE(frames.has_value());
    return frames.value_or(std::vector<giftest::Frame>{});
}

void ExpectSameFrames(const std::vector<giftest::Frame>& a, const std::vector<giftest::Frame>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].width, b[i].width);
        EXPECT_EQ(a[i].height, b[i].height);
        EXPECT_EQ(a[i].pixels, b[i].pixels) << "frame " << i;
    }
}

const TestImage kImage{0, 0, 3, 2, {0, 1, 2, 3, 2, 1}, 0, false};

TEST(DeleteGIFComments, RemovesCommentsInEveryPosition) {
    const Bytes input = GifBuilder()
                            .Header(3, 2, 4)
                            .Comment({"first"})
                            .GraphicControl(true, 3, 5)
                            .Comment({"second", "line"})
                            .Image(kImage)
                            .Comment({"a"})
                            .Comment({"b"})
                            .Image(kImage)
                            .Comment({"after the last image"})
                            .Trailer()
                            .Get();
    const Bytes output = Strip(input);
    EXPECT_FALSE(HasComment(output));
    EXPECT_EQ(giftest::ToString(output).substr(0, 6), "GIF89a");
    gif::TGIFDocument doc;
    giftest::Load(doc, output);
    ASSERT_EQ(doc.Images().Count(), 2);
    ASSERT_EQ(doc.Images().Items(0).Extensions().Count(), 1);
    EXPECT_EQ(doc.Images().Items(0).GraphicControl()->TransparentColorIndex(), 3);
    ExpectSameFrames(Frames(output), Frames(input));
    // The comment after the last image leaves nothing behind: image data, then the trailer.
    EXPECT_EQ(output[output.size() - 2], 0);
    EXPECT_EQ(output.back(), 0x3B);
}

// Nothing to delete, nothing to write: not even damaged image data is looked at.
TEST(DeleteGIFComments, FileWithoutCommentsIsLeftAlone) {
    const Bytes animation =
        GifBuilder().Header(3, 2, 4).Loop(0).Image(kImage, {.subBlockSize = 3}).Trailer().Get();
    const Bytes headerOnly = GifBuilder().Header(3, 2, 4).Trailer().Get();
    const Bytes cutImageData = Cut(animation, animation.size() - 4);
    for (const Bytes& input : {animation, headerOnly, cutImageData}) {
        gif::TGIFDocument image;
        EXPECT_EQ(gif::DeleteGIFComments(image, input), std::nullopt);
    }
}

TEST(DeleteGIFComments, FilesTheWriterRefuses) {
    struct Case {
        const char* name;
        Bytes content;
        const char* error;
    };
    const Case cases[] = {
        {"not a GIF", giftest::ToBytes("This is a text file, not a picture.\n"),
         "Invalid GIF signature"},
        {"colour outside the table",
         GifBuilder().Header(3, 2, 0).Comment({"c"}).Image(kImage).Trailer().Get(),
         "Color not in color table"},
        {"unknown extension", GifBuilder().Header(3, 2, 4).Raw({0x21, 0x99, 0}).Get(),
         "Unknown extension type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gif::TGIFDocument image;
        EXPECT_EQ(giftest::ErrorOf([&] { gif::DeleteGIFComments(image, c.content); }), c.error);
    }
}

// Whatever the reader stepped over or filled in would be lost or made up in the new file: such
// a file is refused with the reader's warning, and giflib, an independent decoder, refuses it
// too. What is accepted is written with the images giflib reads in the complete file.
TEST(DeleteGIFComments, DamagedFilesAreRefusedAndCompleteOnesAccepted) {
    const Bytes start = GifBuilder().Header(4, 3, 4).Comment({"note"}).Get();
    const TestImage frame{0, 0, 4, 3, {0, 1, 2, 3, 3, 2, 1, 0, 0, 1, 2, 3}, 0, false};
    const Bytes image = GifBuilder().Image(frame).Get();
    const Bytes bytewise = GifBuilder().Image(frame, {.subBlockSize = 1}).Get();
    const Bytes descriptor = Cut(image, 10);
    const auto data = [&](const std::vector<std::pair<int, int>>& codes) {
        return Cat(descriptor, giftest::PackCodes(2, codes));
    };
    const Bytes trailer{0x3B};
    // 32000 x 32000 declared, one pixel of data: must fail without the declared size.
    const Bytes huge = Cat(GifBuilder().Header(32000, 32000, 0).Comment({"c"}).Get(),
                           {0x2C, 0, 0, 0, 0, 0x00, 0x7D, 0x00, 0x7D, 0, 2, 2, 0x44, 0x01, 0});
    struct Case {
        const char* name;
        Bytes file;
        const char* error;  // "" when accepted
    };
    const Case cases[] = {
        {"stray byte between two frames", Cat(Cat(Cat(Cat(start, image), {0x55}), image), trailer),
         "Unknown GIF block type"},
        {"cut inside a data sub-block", Cat(start, Cut(image, image.size() - 3)),
         "Premature end of data"},
        {"cut at a data sub-block", Cat(start, Cut(bytewise, 15)), "Premature end of data"},
        {"cut before the image data", Cat(start, descriptor), "Premature end of data"},
        {"terminator before the last pixel", Cat(Cat(start, data({{4, 3}, {1, 3}})), trailer),
         "Decoder bit buffer under-run"},
        {"end code before the last pixel", Cat(Cat(start, data({{4, 3}, {1, 3}, {5, 3}})), trailer),
         "Premature end of data"},
        {"stray byte after an extension",
         Cat(Cat(Cat(start, {0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x00}), image), trailer),
         "Invalid extension introducer"},
        {"image of width 0",
         Cat(Cat(Cat(start, {0x2C, 0, 0, 0, 0, 0, 0, 3, 0, 0}),
                 Bytes(image.begin() + 10, image.end())),
             trailer),
         "Image exceeds Logical Screen size"},
        {"graphic control cut off", Cat(start, {0x21, 0xF9, 4, 1}), "Premature end of data"},
        {"huge image with hardly any data", huge, "Premature end of data"},
        {"no trailer after complete data", Cat(start, image), ""},
        {"stray last byte in place of the trailer", Cat(Cat(start, image), {0x55}), ""},
        {"bytes after the trailer", Cat(Cat(Cat(start, image), trailer), {1, 2, 3}), ""},
    };
    const Bytes whole = Cat(Cat(start, image), trailer);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gif::TGIFDocument doc;
        std::optional<Bytes> output;
        EXPECT_EQ(giftest::ErrorOf([&] { output = gif::DeleteGIFComments(doc, c.file); }), c.error);
        if (*c.error != '\0') {
            EXPECT_FALSE(giftest::GiflibDecode(c.file).has_value());
        } else {
            ASSERT_TRUE(output.has_value());
            ExpectSameFrames(Frames(*output), Frames(whole));
        }
    }
}

TEST(CheckHeader, RefusesWhatIsNoGIFBeforeItIsReadWhole) {
    const Bytes header = GifBuilder().Header(3, 2, 0).Get();
    struct Case {
        const char* name;
        Bytes head;
        const char* error;
    };
    const Case cases[] = {
        {"GIF89a", header, ""},
        {"any version, any case",
         Cat(giftest::ToBytes("gIf999"), Bytes(header.begin() + 6, header.end())), ""},
        {"behind a 4-byte prefix", Cut(Cat({1, 2, 3, 4}, header), gif::kHeaderSize), ""},
        {"PNG", giftest::ToBytes(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)),
         "Invalid GIF signature"},
        {"text", giftest::ToBytes("This is a text file"), "Invalid GIF signature"},
        {"whole file without its screen", giftest::ToBytes("GIF89a\x01"), "Premature end of data"},
        {"whole file shorter than a signature", giftest::ToBytes("GIF"), "Premature end of data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(giftest::ErrorOf([&] { gif::CheckHeader(c.head); }), c.error);
    }
}

// The file as the whole-file writer gives it, from every image decoded at once.
Bytes WrittenWhole(const Bytes& input) {
    gif::TGIFDocument doc;
    giftest::Load(doc, input);
    for (int i = 0; i < doc.Images().Count(); ++i) {
        auto& extensions = doc.Images().Items(i).Extensions();
        for (int j = extensions.Count() - 1; j >= 0; --j) {
            if (dynamic_cast<gif::TGIFCommentExtension*>(&extensions.Items(j)))
                extensions.Delete(j);
        }
    }
    return giftest::Save(doc);
}

// Decoding our output and the input with giflib gives the same pixels, frame by frame; and
// writing one image at a time gives the very bytes of writing them all at once.
TEST(DeleteGIFComments, PixelsSurviveAsAnIndependentDecoderSeesThem) {
    std::mt19937 random(17);
    std::vector<Bytes> inputs;
    const std::pair<int, int> sizes[] = {{1, 1}, {16, 16}, {123, 45}, {320, 240}};
    for (int colors : {2, 16, 256}) {
        for (const auto& [w, h] : sizes) {
            const auto width = static_cast<std::uint16_t>(w);
            const auto height = static_cast<std::uint16_t>(h);
            const Bytes pixels = giftest::RandomPixels(random, width * height, colors);
            inputs.push_back(GifBuilder()
                                 .Header(width, height, colors)
                                 .Comment({"c"})
                                 .Image({0, 0, width, height, pixels, 0, false})
                                 .Trailer()
                                 .Get());
            inputs.push_back(
                GifBuilder()
                    .Header(width, height, 0)
                    .Image({0, 0, width, height, pixels, colors, true}, {.clearWhenFull = false})
                    .Comment({"c"})
                    .Trailer()
                    .Get());
            inputs.push_back(GifBuilder()
                                 .Header(width, height, colors)
                                 .GraphicControl(true, 1)
                                 .Comment({"c"})
                                 .Image({0, 0, width, height,
                                         giftest::PatternPixels(width, height, colors), 0, true})
                                 .Trailer()
                                 .Get());
        }
    }
    GifBuilder animation;
    animation.Header(60, 40, 64).Loop(0).Comment({"animated"});
    for (int frame = 0; frame < 8; ++frame) {
        animation.GraphicControl(frame % 2 == 0, 5, 10)
            .Image({static_cast<std::uint16_t>(frame), 2, 40, 30,
                    giftest::RandomPixels(random, 1200, 64), frame % 3 == 0 ? 128 : 0,
                    frame % 2 == 1});
    }
    inputs.push_back(animation.Trailer().Get());

    for (std::size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(i);
        const Bytes output = Strip(inputs[i]);
        EXPECT_FALSE(HasComment(output));
        ExpectSameFrames(Frames(output), Frames(inputs[i]));
        EXPECT_EQ(output, WrittenWhole(inputs[i]));
    }
}

}  // namespace
