// The writer and the LZW encoder: exact bytes where the format leaves no choice, and pixels
// read back by our decoder and by giflib everywhere else.

#include <gtest/gtest.h>

#include "GIFTestSupport.h"
#include "gif/GIFDocument.h"
#include "gif/LZWDecoder.h"
#include "gif/LZWEncoder.h"

namespace {

using giftest::Bytes;
using giftest::Cat;
using giftest::GifBuilder;
using giftest::TestImage;

Bytes Rewrite(const Bytes& file) {
    gif::TGIFDocument doc;
    giftest::Load(doc, file);
    return giftest::Save(doc);
}

// The image data that follows the first image descriptor (and its local table) of a file
// written by us: minimum code size byte, sub-blocks, terminator.
Bytes FirstImageData(const Bytes& file) {
    std::size_t at = 13 + ((file[10] & 0x80) ? 3u * (2u << (file[10] & 7)) : 0u);
    while (file[at] == 0x21) {
        at += 2;
        while (file[at] != 0)
            at += file[at] + 1u;
        ++at;
    }
    const std::uint8_t packed = file[at + 9];
    at += 10 + ((packed & 0x80) ? 3u * (2u << (packed & 7)) : 0u);
    std::size_t end = at + 1;
    while (file[end] != 0)
        end += file[end] + 1u;
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(at),
                 file.begin() + static_cast<std::ptrdiff_t>(end + 1));
}

TEST(GIFWriter, OnePixelFileIsWrittenExactly) {
    const Bytes input =
        GifBuilder().Header(1, 1, 2, "GIF89a").Image({0, 0, 1, 1, {0}, 0, false}).Trailer().Get();
    const Bytes expected{'G',  'I', 'F',  '8',  '7', 'a', 1, 0, 1, 0, 0x80, 0, 0,  // screen
                         0,    255, 0,    3,    254, 7,                            // two colours
                         0x2C, 0,   0,    0,    0,   1,   0, 1, 0, 0,              // descriptor
                         2,    2,   0x44, 0x01, 0,   0x3B};
    EXPECT_EQ(Rewrite(input), expected);
}

TEST(GIFWriter, SubBlocksHold255Bytes) {
    struct Case {
        std::size_t bytes;
        std::vector<std::size_t> blocks;
    };
    const Case cases[] = {
        {600, {255, 255, 90}}, {510, {255, 255}}, {255, {255}}, {1, {1}}, {0, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        gif::TByteWriter out;
        gif::TGIFWriter writer(out);
        const Bytes data(c.bytes, 7);
        // Written in uneven pieces: the blocks must not depend on how the bytes arrive.
        for (std::size_t at = 0; at < data.size(); at += 100) {
            writer.Write(data.data() + at, std::min<std::size_t>(100, data.size() - at));
        }
        writer.Finish();
        std::vector<std::size_t> blocks;
        const Bytes& bytes = out.Bytes();
        for (std::size_t at = 0; at < bytes.size(); at += bytes[at] + 1u)
            blocks.push_back(bytes[at]);
        EXPECT_EQ(blocks, c.blocks);
    }
}

TEST(GIFWriter, HashTableFindsWhatItHolds) {
    gif::THashTable table;
    // Keys that share a slot follow the probe chain.
    std::vector<std::uint32_t> keys;
    for (std::uint32_t key = 0; keys.size() < 5 && key < 1000000; ++key) {
        if (gif::THashTable::Hash(key) == gif::THashTable::Hash(12345))
            keys.push_back(key);
    }
    ASSERT_EQ(keys.size(), 5u);
    for (std::size_t i = 0; i < keys.size(); ++i)
        table.Insert(keys[i], 300 + static_cast<int>(i));
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(table.Lookup(keys[i]), 300 + static_cast<int>(i));
    EXPECT_EQ(table.Lookup(12346), gif::THashTable::kNotFound);
    table.Clear();
    EXPECT_EQ(table.Lookup(keys[0]), gif::THashTable::kNotFound);
}

// decode(encode(pixels)) == pixels, by our decoder and by giflib.
TEST(GIFWriter, EncodedImagesDecodeToTheSamePixels) {
    std::mt19937 random(11);
    const int colorCounts[] = {1, 2, 3, 4, 7, 16, 31, 64, 129, 256};
    const std::pair<int, int> sizes[] = {{1, 1},   {1, 9},   {13, 1},   {17, 11},
                                         {64, 64}, {255, 3}, {300, 220}};
    for (int colors : colorCounts) {
        for (const auto& [width, height] : sizes) {
            for (bool interlaced : {false, true}) {
                SCOPED_TRACE(testing::Message() << colors << " colours " << width << "x" << height
                                                << (interlaced ? " interlaced" : ""));
                const Bytes pixels = (width * height) % 2
                                         ? giftest::RandomPixels(random, width * height, colors)
                                         : giftest::PatternPixels(width, height, colors);
                const int bits = colors == 1 ? 1 : static_cast<int>(std::ceil(std::log2(colors)));
                gif::TByteWriter out;
                gif::EncodeImageData(out, {pixels.data(), width, height, interlaced, bits, colors});
                gif::TByteReader in(out.Bytes());
                EXPECT_EQ(gif::DecodeImageData(in, {width, height, interlaced, 0}, {}), pixels);
                EXPECT_TRUE(in.AtEnd());

                const Bytes file =
                    Rewrite(GifBuilder()
                                .Header(width, height, colors)
                                .Image({0, 0, static_cast<std::uint16_t>(width),
                                        static_cast<std::uint16_t>(height), pixels, 0, interlaced})
                                .Trailer()
                                .Get());
                const auto frames = giftest::GiflibDecode(file);
                ASSERT_TRUE(frames.has_value());
                ASSERT_EQ(frames->size(), 1u);
                EXPECT_EQ(frames->front().pixels, pixels);
            }
        }
    }
}

TEST(GIFWriter, InterlacedImageWithoutLocalTableStaysInterlaced) {
    const Bytes pixels{0, 0, 1, 1, 2, 2};
    const Bytes file =
        Rewrite(GifBuilder().Header(2, 3, 4).Image({0, 0, 2, 3, pixels, 0, true}).Trailer().Get());
    EXPECT_EQ(file[13 + 12 + 9] & 0x40, 0x40);
    // Read as plain rows, the data holds rows 0, 2, 1.
    const Bytes data = FirstImageData(file);
    gif::TByteReader in(data);
    EXPECT_EQ(gif::DecodeImageData(in, {2, 3, false, 0}, {}), (Bytes{0, 0, 2, 2, 1, 1}));
}

TEST(GIFWriter, InterlacedImageWithLocalTableIsWrittenInRowOrder) {
    const Bytes pixels{0, 1, 2, 3, 4, 5, 6, 7, 0, 1};
    const Bytes file =
        Rewrite(GifBuilder().Header(2, 5, 0).Image({0, 0, 2, 5, pixels, 8, true}).Trailer().Get());
    gif::TGIFDocument doc;
    giftest::Load(doc, file);
    EXPECT_FALSE(doc.Images().Items(0).Interlaced());
    EXPECT_EQ(doc.Images().Items(0).Pixels(), pixels);
}

TEST(GIFWriter, VersionFollowsTheExtensionsLeft) {
    const TestImage image{0, 0, 1, 1, {1}, 0, false};
    struct Case {
        const char* name;
        Bytes file;
        const char* version;
    };
    const Case cases[] = {
        {"graphic control",
         GifBuilder()
             .Header(1, 1, 2, "GIF87a")
             .GraphicControl(false, 0)
             .Image(image)
             .Trailer()
             .Get(),
         "GIF89a"},
        {"comment", GifBuilder().Header(1, 1, 2).Comment({"c"}).Image(image).Trailer().Get(),
         "GIF89a"},
        {"none", GifBuilder().Header(1, 1, 2, "GIF89a").Image(image).Trailer().Get(), "GIF87a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(giftest::ToString(Rewrite(c.file)).substr(0, 6), c.version);
    }
}

TEST(GIFWriter, ScreenFieldsAreWorkedOutFromTheMaps) {
    // Global table of 4 entries; one image with a local table of 256, one without.
    const Bytes twoImages = GifBuilder()
                                .Header(4, 4, 4)
                                .Image({0, 0, 2, 2, {200, 201, 202, 203}, 256, false})
                                .Image({0, 0, 2, 2, {0, 1, 2, 3}, 0, false})
                                .Trailer()
                                .Get();
    const Bytes out = Rewrite(twoImages);
    EXPECT_EQ(out[10], 0x80 | (7 << 4) | 1);
    gif::TGIFDocument doc;
    giftest::Load(doc, out);
    ASSERT_EQ(doc.Images().Count(), 2);
    EXPECT_EQ(doc.Images().Items(1).Pixels(), (Bytes{0, 1, 2, 3}));

    // Local tables only: no global table is written.
    const Bytes localOnly = Rewrite(
        GifBuilder().Header(2, 2, 0).Image({0, 0, 2, 2, {1, 2, 3, 0}, 4, false}).Trailer().Get());
    EXPECT_EQ(localOnly[10] & 0x80, 0);
    EXPECT_EQ(localOnly[13], 0x2C);
}

TEST(GIFWriter, ImageWithoutLocalTableUsesTheLargestCodeSize) {
    const Bytes file = Rewrite(GifBuilder()
                                   .Header(4, 4, 4)
                                   .Image({0, 0, 2, 2, {0, 1, 2, 3}, 0, false})
                                   .Image({0, 0, 2, 2, {9, 9, 9, 9}, 256, false})
                                   .Trailer()
                                   .Get());
    EXPECT_EQ(FirstImageData(file).front(), 8);
}

TEST(GIFWriter, FilesWithoutAnyColourTable) {
    const auto make = [](std::uint8_t pixel) {
        return GifBuilder()
            .Header(2, 1, 0)
            .Image({0, 0, 2, 1, {0, pixel}, 0, false})
            .Trailer()
            .Get();
    };
    const Bytes zeros = Rewrite(make(0));
    EXPECT_EQ(zeros[10], 0x77);
    EXPECT_EQ(FirstImageData(zeros).front(), 2);
    EXPECT_EQ(giftest::ErrorOf([&] { Rewrite(make(1)); }), "Color not in color table");
}

TEST(GIFWriter, PixelOutsideTheLocalTableIsRefused) {
    gif::TGIFDocument doc;
    giftest::Load(
        doc, GifBuilder().Header(2, 1, 0).Image({0, 0, 2, 1, {0, 1}, 2, false}).Trailer().Get());
    doc.Images().Items(0).Pixels()[1] = 2;
    EXPECT_EQ(giftest::ErrorOf([&] { giftest::Save(doc); }), "Color not in color table");
}

TEST(GIFWriter, FileWithoutImagesCannotBeWritten) {
    gif::TGIFDocument doc;
    giftest::Load(doc, GifBuilder().Header(2, 2, 4).Trailer().Get());
    EXPECT_EQ(giftest::ErrorOf([&] { giftest::Save(doc); }), "Unsupported GIF version");
}

TEST(GIFWriter, CommentLinesAreWrittenInTheirOwnForm) {
    const std::string longLine(300, 'x');
    const Bytes file = Rewrite(GifBuilder()
                                   .Header(1, 1, 2)
                                   .Comment({longLine.substr(0, 255), std::string("ab\0cd", 5), ""})
                                   .Image({0, 0, 1, 1, {1}, 0, false})
                                   .Trailer()
                                   .Get());
    Bytes commentOut{0x21, 0xFE, 255};
    commentOut.insert(commentOut.end(), 255, 'x');
    commentOut.insert(commentOut.end(), {2, 'a', 'b', 0});
    EXPECT_TRUE(std::search(file.begin(), file.end(), commentOut.begin(), commentOut.end()) !=
                file.end());
}

// Every other extension leaves as it came, byte for byte, also where its form is unusual; giflib
// sees the same blocks before and after.
TEST(GIFWriter, ExtensionsAreWrittenBackAsRead) {
    const Bytes netscape = giftest::ToBytes("NETSCAPE2.0");
    const Bytes textBlock{0, 0, 0, 0, 8, 0, 8, 0, 8, 8, 1, 0};
    struct Case {
        const char* name;
        Bytes block;
    };
    const Case cases[] = {
        {"graphic control of 5 bytes", {0x21, 0xF9, 5, 1, 10, 0, 3, 7, 0}},
        {"graphic control of 3 bytes", {0x21, 0xF9, 3, 4, 10, 0, 0}},
        {"graphic control with a second sub-block", {0x21, 0xF9, 4, 0, 1, 0, 0, 2, 9, 9, 0}},
        {"plain text block of 13 bytes",
         Cat(Cat({0x21, 0x01, 13}, textBlock), {7, 3, 'a', 'b', 'c', 0})},
        {"plain text with zero bytes",
         Cat(Cat({0x21, 0x01, 12}, textBlock), {5, 'a', 0, 'b', 0, 'c', 0})},
        {"loop block with a buffer size only",
         Cat(Cat({0x21, 0xFF, 11}, netscape), {5, 2, 1, 2, 3, 4, 0})},
        {"loop block with a foreign sub-block",
         Cat(Cat({0x21, 0xFF, 11}, netscape), {3, 1, 5, 0, 2, 4, 9, 0})},
        {"application block of 10 bytes",
         Cat(Cat({0x21, 0xFF, 10}, giftest::ToBytes("ABCDEFGHIJ")), {2, 'x', 'y', 0})},
        // As 11 bytes, "NETSCAPE2.0" with foreign data would be read back as a loop block.
        {"application block of 12 bytes", Cat(Cat({0x21, 0xFF, 12}, netscape), {'x', 1, 2, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes input = GifBuilder()
                                .Header(1, 1, 2)
                                .Raw(c.block)
                                .Image({0, 0, 1, 1, {1}, 0, false})
                                .Trailer()
                                .Get();
        const Bytes output = Rewrite(input);
        EXPECT_TRUE(std::search(output.begin(), output.end(), c.block.begin(), c.block.end()) !=
                    output.end());
        const auto before = giftest::GiflibDecode(input);
        const auto after = giftest::GiflibDecode(output);
        ASSERT_TRUE(before.has_value());
        ASSERT_TRUE(after.has_value());
        EXPECT_EQ(after->at(0).extensions, before->at(0).extensions);
    }
}

}  // namespace
