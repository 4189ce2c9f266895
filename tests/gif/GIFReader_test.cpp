// The document model and the reader, on files built byte by byte.

#include <gtest/gtest.h>

#include "GIFTestSupport.h"
#include "gif/GIFDocument.h"

namespace {

using giftest::Bytes;
using giftest::Cat;
using giftest::GifBuilder;
using giftest::TestImage;
using giftest::ToBytes;

const TestImage kSmall{0, 0, 2, 2, {0, 1, 2, 3}, 0, false};

struct Loaded {
    std::string error;
    std::vector<std::string> warnings;
};

Loaded LoadInto(gif::TGIFDocument& image, const Bytes& file) {
    Loaded result;
    result.error = giftest::ErrorOf([&] { giftest::Load(image, file, &result.warnings); });
    return result;
}

TEST(GIFReader, SignatureRules) {
    const Bytes rest = GifBuilder().Header(2, 2, 4).Image(kSmall).Trailer().Get();
    const Bytes afterSignature(rest.begin() + 6, rest.end());
    struct Case {
        std::string prefix;
        std::string error;
    };
    const Case cases[] = {
        {"GIF89a", ""},
        {"gif87a", ""},
        {"GiF999", ""},
        {std::string("\x01\x02\x03\x04", 4) + "GIF89a", ""},
        {"GIX89a", "Invalid GIF signature"},
        {"\x89PNG\r\n\x1a\n", "Invalid GIF signature"},
        {std::string("GI\0", 3) + "89a", "Invalid GIF signature"},
        {"GIF", "Premature end of data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        gif::TGIFDocument image;
        const Bytes file =
            c.prefix.size() < 6 ? ToBytes(c.prefix) : Cat(ToBytes(c.prefix), afterSignature);
        EXPECT_EQ(LoadInto(image, file).error, c.error);
        if (c.error.empty()) {
            ASSERT_EQ(image.Images().Count(), 1);
            EXPECT_EQ(image.Images().Items(0).Pixels(), kSmall.pixels);
        }
    }
}

TEST(GIFReader, ReadsTheBlockStructure) {
    const Bytes file = GifBuilder()
                           .Header(5, 4, 4)
                           .Loop(3)
                           .Comment({"one"})
                           .Image(kSmall)
                           .Raw({0, 0, 0})
                           .GraphicControl(true, 2, 10)
                           .Image({1, 1, 2, 2, {3, 3, 3, 3}, 8, true})
                           .Comment({"last"})
                           .Trailer()
                           .Get();
    gif::TGIFDocument image;
    const Loaded loaded = LoadInto(image, file);
    EXPECT_EQ(loaded.error, "");
    EXPECT_TRUE(loaded.warnings.empty());
    EXPECT_EQ(image.Width(), 5);
    EXPECT_EQ(image.Height(), 4);
    EXPECT_EQ(image.Header().ColorMap().Count(), 4);
    // The comment after the last image is kept as a sub-image without image.
    ASSERT_EQ(image.Images().Count(), 3);

    gif::TGIFSubImage& first = image.Images().Items(0);
    ASSERT_EQ(first.Extensions().Count(), 2);
    auto* loop = dynamic_cast<gif::TGIFAppExtNSLoop*>(&first.Extensions().Items(0));
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->LoopCount(), 3);
    auto* comment = dynamic_cast<gif::TGIFCommentExtension*>(&first.Extensions().Items(1));
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->Lines(), std::vector<std::string>{"one"});

    gif::TGIFSubImage& second = image.Images().Items(1);
    EXPECT_TRUE(second.Transparent());
    ASSERT_NE(second.GraphicControl(), nullptr);
    EXPECT_EQ(second.GraphicControl()->Delay(), 10);
    EXPECT_EQ(second.ColorMap().Count(), 8);
    EXPECT_TRUE(second.Interlaced());
    EXPECT_EQ(second.Descriptor().left, 1);
    EXPECT_EQ(second.Pixels(), (Bytes{3, 3, 3, 3}));

    gif::TGIFSubImage& last = image.Images().Items(2);
    EXPECT_TRUE(last.Empty());
    EXPECT_EQ(last.Extensions().Count(), 1);
}

TEST(GIFReader, CommentLinesEndAtAZeroByte) {
    const Bytes file = GifBuilder()
                           .Header(2, 2, 4)
                           .Comment({std::string("abc\0def", 7), "x"})
                           .Comment({})
                           .Image(kSmall)
                           .Trailer()
                           .Get();
    gif::TGIFDocument image;
    ASSERT_EQ(LoadInto(image, file).error, "");
    auto& extensions = image.Images().Items(0).Extensions();
    EXPECT_EQ(dynamic_cast<gif::TGIFCommentExtension&>(extensions.Items(0)).Lines(),
              (std::vector<std::string>{"abc", "x"}));
    EXPECT_TRUE(dynamic_cast<gif::TGIFCommentExtension&>(extensions.Items(1)).Lines().empty());
}

TEST(GIFReader, ApplicationExtensions) {
    const Bytes base = GifBuilder().Header(2, 2, 4).Get();
    const Bytes image = GifBuilder().Image(kSmall).Trailer().Get();
    const Bytes animexts = Cat(Cat({0x21, 0xFF, 11}, ToBytes("ANIMEXTS1.0")), {3, 1, 7, 0, 0});
    const Bytes other =
        Cat(Cat({0x21, 0xFF, 11}, ToBytes("XMP DataXMP")), {2, 'a', 'b', 1, 'c', 0});
    // A block size above 11: the identifier is read, the rest of the block skipped.
    const Bytes oversized = Cat(Cat({0x21, 0xFF, 13}, ToBytes("ICCRGBG1012xy")), {1, 'z', 0});
    const Bytes tenBytes = Cat(Cat({0x21, 0xFF, 10}, ToBytes("ABCDEFGHIJ")), {0});

    gif::TGIFDocument doc;
    ASSERT_EQ(
        LoadInto(doc, Cat(Cat(Cat(Cat(Cat(base, animexts), other), oversized), tenBytes), image))
            .error,
        "");
    auto& extensions = doc.Images().Items(0).Extensions();
    ASSERT_EQ(extensions.Count(), 4);
    EXPECT_EQ(dynamic_cast<gif::TGIFAppExtNSLoop&>(extensions.Items(0)).LoopCount(), 7);
    auto& unknown = dynamic_cast<gif::TGIFUnknownAppExtension&>(extensions.Items(1));
    ASSERT_EQ(unknown.Blocks().size(), 2u);
    EXPECT_EQ(unknown.Blocks()[0].bytes, ToBytes("ab"));
    EXPECT_EQ(unknown.Blocks()[1].bytes, ToBytes("c"));
    auto& big = dynamic_cast<gif::TGIFUnknownAppExtension&>(extensions.Items(2));
    EXPECT_EQ(giftest::ToString(Bytes(big.Identifier().begin(), big.Identifier().end())),
              "ICCRGBG1012");
    ASSERT_EQ(big.Blocks().size(), 1u);
    EXPECT_EQ(big.Blocks()[0].bytes, ToBytes("z"));
    auto& ten = dynamic_cast<gif::TGIFUnknownAppExtension&>(extensions.Items(3));
    EXPECT_EQ(ten.Identifier()[9], 'J');
    EXPECT_EQ(ten.Identifier()[10], 0);
    EXPECT_EQ(doc.Images().Items(0).Pixels(), kSmall.pixels);
}

TEST(GIFReader, ErrorsEndTheLoad) {
    const Bytes header = GifBuilder().Header(2, 2, 4).Get();
    const Bytes image = GifBuilder().Image(kSmall).Trailer().Get();
    struct Case {
        const char* name;
        Bytes file;
        const char* error;
    };
    const Case cases[] = {
        {"unknown label", Cat(Cat(header, {0x21, 0xF0, 0}), image), "Unknown extension type"},
        {"application block size 9",
         Cat(Cat(header, {0x21, 0xFF, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}), image),
         "Unsupported Application Extension block size"},
        {"short loop sub-block",
         Cat(Cat(Cat(header, {0x21, 0xFF, 11}), ToBytes("NETSCAPE2.0")), {2, 1, 0, 0}),
         "Invalid GIF data"},
        {"short buffer sub-block",
         Cat(Cat(Cat(header, {0x21, 0xFF, 11}), ToBytes("NETSCAPE2.0")), {4, 2, 0, 0, 0, 0}),
         "Invalid GIF data"},
        {"cut in the colour table", Bytes(header.begin(), header.end() - 2),
         "Premature end of data"},
        {"cut in a descriptor", Cat(header, {0x2C, 0, 0, 0}), "Premature end of data"},
        {"cut in a comment", Cat(header, {0x21, 0xFE, 5, 'a'}), "Premature end of data"},
        {"cut identifier", Cat(header, {0x21, 0xFF, 11, 'N', 'E'}), "Premature end of data"},
        {"cut ten-byte identifier", Cat(header, {0x21, 0xFF, 10, 'N', 'E'}),
         "Unknown extension type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gif::TGIFDocument doc;
        EXPECT_EQ(LoadInto(doc, c.file).error, c.error);
    }
}

TEST(GIFReader, WarningsLetTheLoadGoOn) {
    const Bytes header = GifBuilder().Header(2, 2, 4).Get();
    const Bytes image = GifBuilder().Image(kSmall).Get();
    struct Case {
        const char* name;
        Bytes file;
        std::vector<std::string> warnings;
        int images;
    };
    const Case cases[] = {
        {"no trailer", Cat(header, image), {}, 1},
        {"unknown block",
         Cat(Cat(Cat(header, image), {0x55}), image),
         {"Unknown GIF block type", "Invalid Image trailer"},
         1},
        {"stray byte after an extension", Cat(Cat(header, {0x21, 0xFE, 0, 0x3B}), {}), {}, 1},
        {"short graphic control", Cat(header, {0x21, 0xF9, 4, 1}), {"Premature end of data"}, 1},
        {"bad byte after extension",
         Cat(Cat(header, {0x21, 0xFE, 0, 0x00}), image),
         {"Invalid extension introducer"},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gif::TGIFDocument doc;
        const Loaded loaded = LoadInto(doc, c.file);
        EXPECT_EQ(loaded.error, "");
        EXPECT_EQ(loaded.warnings, c.warnings);
        EXPECT_EQ(doc.Images().Count(), c.images);
    }
}

TEST(GIFReader, WidthZeroTakesTheScreenSize) {
    const Bytes file = GifBuilder()
                           .Header(3, 2, 4)
                           .Raw({0x2C, 0, 0, 0, 0, 0, 0, 2, 0, 0})
                           .Raw(giftest::ReferenceLzw({1, 1, 1, 1, 1, 1}, 2))
                           .Trailer()
                           .Get();
    gif::TGIFDocument doc;
    const Loaded loaded = LoadInto(doc, file);
    EXPECT_EQ(loaded.error, "");
    EXPECT_EQ(loaded.warnings, std::vector<std::string>{"Image exceeds Logical Screen size"});
    const gif::TGIFSubImage& sub = doc.Images().Items(0);
    EXPECT_EQ(sub.Descriptor().width, 3);
    EXPECT_EQ(sub.Descriptor().height, 2);
    EXPECT_EQ(sub.Pixels(), (Bytes{1, 1, 1, 1, 1, 1}));
}

TEST(GIFReader, ShortDataFillsWithTheTransparentIndex) {
    const Bytes data = giftest::PackCodes(2, {{4, 3}, {1, 3}, {5, 3}});
    for (bool transparent : {false, true}) {
        const Bytes file = GifBuilder()
                               .Header(2, 2, 4)
                               .GraphicControl(transparent, 3)
                               .Raw({0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0})
                               .Raw(data)
                               .Comment({"after"})
                               .Trailer()
                               .Get();
        gif::TGIFDocument doc;
        ASSERT_EQ(LoadInto(doc, file).error, "");
        const std::uint8_t fill = transparent ? 3 : 0;
        EXPECT_EQ(doc.Images().Items(0).Pixels(), (Bytes{1, fill, fill, fill}));
        // The block after the short data is read where it starts.
        EXPECT_EQ(doc.Images().Count(), 2);
    }
}

TEST(GIFReader, FailedLoadKeepsEarlierImagesAndRewindsTheStream) {
    Bytes file = GifBuilder().Header(2, 2, 4).Image(kSmall).Raw({0x21, 0xF0}).Get();
    file.insert(file.begin(), {7, 7});
    gif::TGIFDocument doc;
    gif::TByteReader in(file);
    in.Seek(2);
    EXPECT_THROW(doc.LoadFromStream(in), gif::GIFException);
    EXPECT_EQ(in.Position(), 2u);
    EXPECT_EQ(doc.Images().Count(), 1);
    // A new load starts from nothing.
    ASSERT_EQ(LoadInto(doc, GifBuilder().Header(4, 4, 0).Trailer().Get()).error, "");
    EXPECT_EQ(doc.Images().Count(), 0);
    EXPECT_EQ(doc.Header().ColorMap().Count(), 0);
}

TEST(GIFReader, ColorMapCapacityAndBits) {
    struct Case {
        int count, capacity, bits;
    };
    const Case cases[] = {{0, 0, 0},     {1, 16, 1},    {2, 16, 1},   {3, 16, 2},
                          {5, 16, 3},    {16, 16, 4},   {17, 32, 5},  {33, 64, 6},
                          {129, 160, 8}, {250, 256, 8}, {256, 256, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        gif::TGIFColorMap map;
        for (int i = 0; i < c.count; ++i)
            map.Add({});
        EXPECT_EQ(map.Capacity(), c.capacity);
        EXPECT_EQ(map.BitsPerPixel(), c.bits);
    }
}

TEST(GIFReader, ListIndexOutOfBounds) {
    gif::TGIFDocument doc;
    try {
        doc.Images().Items(3);
        FAIL();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (3)");
    }
}

}  // namespace
