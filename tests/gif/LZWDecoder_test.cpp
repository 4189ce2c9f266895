// The LZW decoder on data made by an independent encoder and on hand-made code streams.

#include <gtest/gtest.h>

#include "GIFTestSupport.h"
#include "gif/LZWDecoder.h"

namespace {

using giftest::Bytes;
using giftest::PackCodes;

constexpr std::uint8_t kSentinel = 0x99;

struct Decoded {
    gif::TPixels pixels;
    std::vector<std::string> warnings;
    // The first byte the decoder left unread.
    int next = -1;
};

Decoded Decode(const Bytes& data, int width, int height, bool interlaced = false,
               std::uint8_t fill = 0, bool sentinel = true) {
    Bytes stream = data;
    if (sentinel)
        stream.push_back(kSentinel);
    Decoded result;
    gif::TByteReader in(stream);
    const gif::TGIFWarningHandler warn = [&](const std::string& m) {
        result.warnings.push_back(m);
    };
    result.pixels = gif::DecodeImageData(in, {width, height, interlaced, fill}, warn);
    std::uint8_t next = 0;
    if (in.ReadByte(next))
        result.next = next;
    return result;
}

TEST(LZWDecoder, DecodesIndependentDataOfEveryShape) {
    struct Case {
        int width, height, colors;
        giftest::LzwStyle style;
    };
    const Case cases[] = {
        {1, 1, 2, {}},
        {7, 3, 4, {}},
        {64, 64, 16, {.leadingClear = false}},
        {300, 200, 256, {}},
        // A full table without a clear: 12-bit codes go on against the unchanged table.
        {300, 200, 256, {.clearWhenFull = false}},
        {200, 100, 256, {.leadingClear = false, .clearWhenFull = false}},
        // Sub-blocks shorter than a code: a code spans three sub-blocks.
        {120, 90, 256, {.subBlockSize = 1}},
        {50, 40, 32, {.subBlockSize = 2}},
        {99, 77, 128, {.subBlockSize = 7}},
    };
    std::mt19937 random(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " colours " << c.colors
                                        << " block " << c.style.subBlockSize);
        for (bool random_data : {true, false}) {
            const Bytes pixels = random_data
                                     ? giftest::RandomPixels(random, c.width * c.height, c.colors)
                                     : giftest::PatternPixels(c.width, c.height, c.colors);
            const int minCodeSize = std::max(2, static_cast<int>(std::ceil(std::log2(c.colors))));
            const Decoded d =
                Decode(giftest::ReferenceLzw(pixels, minCodeSize, c.style), c.width, c.height);
            EXPECT_EQ(d.pixels, pixels);
            EXPECT_EQ(d.next, kSentinel);
            EXPECT_TRUE(d.warnings.empty());
        }
    }
}

TEST(LZWDecoder, InterlacedImagesFillEveryRow) {
    for (int height : {1, 2, 3, 4, 5, 8, 9, 17}) {
        SCOPED_TRACE(height);
        const int width = 3;
        Bytes pixels;
        for (int y = 0; y < height; ++y)
            pixels.insert(pixels.end(), width, static_cast<std::uint8_t>(y + 1));
        const Bytes data = giftest::ReferenceLzw(giftest::InterlaceOrder(pixels, width, height), 5);
        EXPECT_EQ(Decode(data, width, height, true).pixels, pixels);
    }
}

// Hand-made streams that end, restart or run on in every way the decoder must survive; each
// leaves the reader behind its block terminator (at the sentinel when one follows).
TEST(LZWDecoder, HandMadeStreamsEndWhereTheyShould) {
    struct Outcome {
        Bytes pixels;
        bool atSentinel;
        std::string warning;  // the first; empty: none
    };
    struct Case {
        const char* name;
        Bytes data;
        gif::TImageShape shape;
        Outcome expected;
    };
    const char* const early = "Premature end of data";
    const Case cases[] = {
        {"runs of clear codes",
         PackCodes(2, {{4, 3}, {4, 3}, {4, 3}, {1, 3}, {2, 3}, {5, 3}}),
         {2, 1, false, 0},
         {{1, 2}, true, ""}},
        // Minimum code size 7: every code is 8 bits, so the end code fills the last byte exactly.
        {"end code in the last bits",
         PackCodes(7, {{128, 8}, {1, 8}, {2, 8}, {129, 8}}),
         {2, 1, false, 0},
         {{1, 2}, true, ""}},
        {"early end code",
         PackCodes(2, {{4, 3}, {1, 3}, {2, 3}, {5, 3}}),
         {3, 2, false, 3},
         {{1, 2, 3, 3, 3, 3}, true, early}},
        {"clear then end",
         PackCodes(2, {{4, 3}, {5, 3}}),
         {2, 2, false, 2},
         {{2, 2, 2, 2}, true, early}},
        {"data beyond the pixels",
         giftest::ReferenceLzw({1, 2, 3, 0, 1, 2, 3, 0, 1, 1, 1, 1}, 2, {.subBlockSize = 1}),
         {2, 1, false, 0},
         {{1, 2}, true, ""}},
        // 8-bit codes, so no padding bits can pass for a code.
        {"zero-length sub-block before the last pixel",
         PackCodes(7, {{128, 8}, {1, 8}, {2, 8}}),
         {4, 1, false, 3},
         {{1, 2, 3, 3}, true, "Decoder bit buffer under-run"}},
        {"no data", {}, {2, 1, false, 5}, {{5, 5}, false, early}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = Decode(c.data, c.shape.width, c.shape.height, false, c.shape.fill,
                                 c.expected.atSentinel);
        EXPECT_EQ(d.pixels, c.expected.pixels);
        EXPECT_EQ(d.next, c.expected.atSentinel ? kSentinel : -1);
        EXPECT_EQ(d.warnings.empty() ? "" : d.warnings.front(), c.expected.warning);
    }
}

TEST(LZWDecoder, StringsFollowTheTableAlsoWhenItWasBuiltOnUndefinedCodes) {
    // Code 12 arrives before it is defined, so entry 11 is built on it and only becomes
    // "2 3 2" once 12 is defined; entries built on 11 follow it. The image is wider than the
    // data: everything after the end code keeps the fill value.
    const Decoded d = Decode(
        PackCodes(
            3,
            {{8, 4}, {1, 4}, {12, 4}, {2, 4}, {3, 4}, {11, 4}, {13, 4}, {14, 4}, {15, 5}, {9, 5}}),
        40, 1, false, 7);
    const Bytes decoded{1, 1, 1, 2, 3, 2, 3, 2, 3, 2, 2, 3, 2, 3, 3, 2, 2};
    Bytes expected(40, 7);
    std::copy(decoded.begin(), decoded.end(), expected.begin());
    EXPECT_EQ(d.pixels, expected);
    EXPECT_EQ(d.next, kSentinel);
}

TEST(LZWDecoder, DataCutOffKeepsWhatWasDecoded) {
    std::mt19937 random(3);
    const Bytes pixels = giftest::RandomPixels(random, 40 * 40, 16);
    Bytes data = giftest::ReferenceLzw(pixels, 4);
    data.resize(data.size() / 2);
    gif::TByteReader in(data);
    std::vector<std::string> warnings;
    const gif::TPixels decoded = gif::DecodeImageData(
        in, {40, 40, false, 9}, [&](const std::string& m) { warnings.push_back(m); });
    ASSERT_EQ(decoded.size(), pixels.size());
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + 100, decoded.begin()));
    EXPECT_EQ(decoded.back(), 9);
    EXPECT_EQ(warnings, std::vector<std::string>{"Premature end of data"});
    EXPECT_TRUE(in.AtEnd());
}

// Pixels the data does not hold are made up; the decoder says so, whichever way the data ends.
TEST(LZWDecoder, DataEndingBeforeTheLastPixelIsReported) {
    const Bytes full = giftest::ReferenceLzw({1, 2, 3, 1, 2, 3}, 2, {.subBlockSize = 1});
    struct Case {
        const char* name;
        Bytes data;
        std::vector<std::string> warnings;
    };
    const Case cases[] = {
        {"complete", full, {}},
        {"cut at a sub-block", Bytes(full.begin(), full.begin() + 3), {"Premature end of data"}},
        {"cut inside a sub-block", Bytes{2, 3, 0x0C}, {"Premature end of data"}},
        {"end code", PackCodes(2, {{4, 3}, {1, 3}, {5, 3}}), {"Premature end of data"}},
        {"no data", Bytes{}, {"Premature end of data"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gif::TByteReader in(c.data);
        std::vector<std::string> warnings;
        const gif::TPixels pixels = gif::DecodeImageData(
            in, {3, 2, false, 9}, [&](const std::string& m) { warnings.push_back(m); });
        EXPECT_EQ(warnings, c.warnings);
        EXPECT_EQ(pixels.size(), 6u);
    }
}

// Comparing decodes nothing into new storage; it must still see every pixel, in either row order.
TEST(LZWDecoder, ComparesDataWithPixels) {
    std::mt19937 random(5);
    const int width = 7;
    const int height = 11;
    const Bytes pixels = giftest::RandomPixels(random, width * height, 16);
    for (bool interlaced : {false, true}) {
        const Bytes data = giftest::ReferenceLzw(
            interlaced ? giftest::InterlaceOrder(pixels, width, height) : pixels, 4);
        for (int changed : {-1, 0, 40, width * height - 1}) {
            SCOPED_TRACE(testing::Message() << interlaced << " " << changed);
            Bytes expected = pixels;
            if (changed >= 0)
                expected[static_cast<std::size_t>(changed)] ^= 1;
            const Bytes before = expected;
            Bytes stream = data;
            stream.push_back(kSentinel);
            gif::TByteReader in(stream);
            EXPECT_EQ(gif::ImageDataMatches(in, {width, height, interlaced, 0}, expected, {}),
                      changed < 0);
            EXPECT_EQ(expected, before);
            std::uint8_t next = 0;
            if (changed < 0) {
                EXPECT_TRUE(in.ReadByte(next) && next == kSentinel);
            }
        }
        // Data that ends early never matches.
        const Bytes cut(data.begin(), data.begin() + 8);
        gif::TByteReader in(cut);
        Bytes expected = pixels;
        EXPECT_FALSE(gif::ImageDataMatches(in, {width, height, interlaced, 0}, expected, {}));
    }
}

TEST(LZWDecoder, SkippedDataLeavesTheReaderBehindTheTerminator) {
    Bytes stream = giftest::ReferenceLzw({1, 2, 3, 1, 2, 3}, 2, {.subBlockSize = 2});
    stream.push_back(kSentinel);
    gif::TByteReader in(stream);
    gif::SkipImageData(in);
    std::uint8_t next = 0;
    EXPECT_TRUE(in.ReadByte(next) && next == kSentinel);
}

TEST(LZWDecoder, CorruptTablesEndTheDecode) {
    struct Case {
        const char* name;
        int minCodeSize;
        std::vector<std::pair<int, int>> codes;
        const char* message;
    };
    const Case cases[] = {
        // Entry 259 is defined with itself as prefix, then used.
        {"self reference",
         8,
         {{256, 9}, {65, 9}, {259, 9}, {259, 9}, {259, 9}},
         "Circular decoder table entry"},
        // Entries 258 and 259 name each other.
        {"two-entry cycle",
         8,
         {{256, 9}, {259, 9}, {258, 9}, {65, 9}, {258, 9}},
         "Circular decoder table entry"},
        {"minimum code size 12", 12, {{4096, 13}}, "Invalid GIF data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(giftest::ErrorOf([&] { Decode(PackCodes(c.minCodeSize, c.codes), 16, 16); }),
                  c.message);
    }
}

// An image larger than a rewrite may hold is refused as such (not as damage) before a byte of
// its data is read or a pixel is stored; one just within the limit is decoded, and its empty
// data found cut off, without its size ever being allocated.
TEST(LZWDecoder, ImagesAboveThePixelLimitAreRefusedUnread) {
    struct Case {
        int width, height;
        bool tooLarge;
        const char* message;
    };
    const Case cases[] = {
        {65535, 65535, true,
         "Image too large: 65535 x 65535 pixels (at most 2147483648 per image)"},
        {65535, 32769, true,
         "Image too large: 65535 x 32769 pixels (at most 2147483648 per image)"},
        {65535, 32768, false, "Decoder bit buffer under-run"},
    };
    const Bytes data = PackCodes(2, {});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        gif::TByteReader in(data);
        bool tooLarge = false;
        const std::string message = giftest::ErrorOf([&] {
            try {
                gif::DecodeImageData(in, {c.width, c.height, false, 0},
                                     [](const std::string& m) { throw gif::GIFException(m); });
            } catch (const gif::GIFImageTooLarge&) {
                tooLarge = true;
                throw;
            }
        });
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(tooLarge, c.tooLarge);
        EXPECT_EQ(in.Position() == 0, c.tooLarge);
    }
}

}  // namespace
