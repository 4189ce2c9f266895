#include "platform/linux/DosAttrib.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace platform::linux_fs {
namespace {

// Builds a blob byte by byte, little-endian.
struct Bytes {
    std::string data;
    Bytes& Text(const std::string& s) {
        data += s;
        return *this;
    }
    Bytes& Zeros(int n) {
        data.append(static_cast<std::size_t>(n), '\0');
        return *this;
    }
    Bytes& U16(std::uint16_t v) { return Put(v, 2); }
    Bytes& U32(std::uint32_t v) { return Put(v, 4); }
    Bytes& U64(std::uint64_t v) { return Put(v, 8); }
    Bytes& Put(std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i)
            data.push_back(static_cast<char>(v >> (8 * i)));
        return *this;
    }
};

constexpr std::uint64_t kCreated = 132'000'000'000'000'000ull;  // a day in 2019

TEST(DosAttribTest, ReadsTheBitsAndTheCreationTimeItsValidFlagsGive) {
    struct Case {
        const char* what;
        std::string blob;
        std::uint32_t attributes;
        std::optional<FileTime> creationTime;
    };
    const Case cases[] = {
        {"Wine's hex text without NUL", "0x22", 0x22, std::nullopt},
        // "0x6\0", pad to 2 -> offset 4: version, level, then the record at offset 8.
        {"Samba version 5",
         Bytes().Text("0x6").Zeros(1).U16(5).U16(5).U32(0x11).U32(0x06).U64(kCreated).data, 0x06,
         kCreated},
        // As Samba 4.17 stores a file that a Windows client made read-only: an empty text, then
        // the version 5 blob.
        {"Samba blob without text",
         Bytes().Zeros(2).U16(5).U16(5).Zeros(2).U32(0x11).U32(0x01).U64(kCreated).data, 0x01,
         kCreated},
        {"only the bits valid",
         Bytes().Text("0x2").Zeros(1).U16(5).U16(5).U32(0x01).U32(0x02).U64(kCreated).data, 0x02,
         std::nullopt},
        {"only the time valid",
         Bytes().Text("0x2").Zeros(1).U16(5).U16(5).U32(0x10).U32(0x02).U64(kCreated).data, 0,
         kCreated},
        {"zero creation time",
         Bytes().Text("0x20").Zeros(2).U16(5).U16(5).Zeros(2).U32(0x11).U32(0x20).U64(0).data, 0x20,
         std::nullopt},
        {"all-ones creation time",
         Bytes().Text("0x20").Zeros(2).U16(5).U16(5).Zeros(2).U32(0x11).U32(0x20).U64(~0ull).data,
         0x20, std::nullopt},
        {"written without creation time", EncodeDosAttrib({0x2, std::nullopt}), 0x2, std::nullopt},
        // attrib, ea_size, size, alloc_size, create_time
        {"version 1",
         Bytes()
             .Text("0x21")
             .Zeros(2)
             .U16(1)
             .U16(1)
             .Zeros(2)
             .U32(0x21)
             .U32(0)
             .U64(0)
             .U64(0)
             .U64(kCreated)
             .U64(0)
             .data,
         0x21, kCreated},
        // valid_flags, attrib, itime, create_time
        {"version 4",
         Bytes().Text("0x4").Zeros(1).U16(4).U16(4).U32(0x11).U32(0x04).U64(7).U64(kCreated).data,
         0x04, kCreated},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseDosAttrib(c.blob);
        EXPECT_TRUE(parsed) << c.what;
        if (!parsed)
            continue;
        EXPECT_EQ(parsed->attributes, c.attributes) << c.what;
        EXPECT_EQ(parsed->creationTime, c.creationTime) << c.what;
    }
}

TEST(DosAttribTest, WritesVersion3WithHexTextInFront) {
    const std::string value = EncodeDosAttrib({0x22, kCreated});
    Bytes expected;
    expected.Text("0x22")
        .Zeros(1)
        .Zeros(1)  // text, NUL, pad to 2
        .U16(3)
        .U16(3)
        .Zeros(2)  // version, level, pad to 4
        .U32(0x11)
        .U32(0x22)
        .U32(0)  // valid flags, attrib, ea_size
        .U64(0)
        .U64(0)  // size, alloc_size
        .U64(kCreated)
        .U64(0);  // create_time, change_time
    EXPECT_EQ(value, expected.data);
    const auto back = ParseDosAttrib(value);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->attributes, 0x22u);
    EXPECT_EQ(back->creationTime, kCreated);
}

// A value is read only when all of it is understood; of any other, the hex text still tells
// the bits, as Samba falls back to.
TEST(DosAttribTest, ValuesNotWhollyUnderstoodAreNotRead) {
    const std::string full = EncodeDosAttrib({0x26, kCreated});
    Bytes versionsDisagree;
    versionsDisagree.Text("0x26").Zeros(2).U16(5).U16(4).Zeros(2).U32(0x11).U32(0x26).U64(kCreated);
    Bytes textDisagrees;
    textDisagrees.Text("0x22").Zeros(2).U16(5).U16(5).Zeros(2).U32(0x11).U32(0x26).U64(kCreated);
    Bytes unknownVersion;
    unknownVersion.Text("0x26").Zeros(2).U16(6).U16(6).Zeros(2).U32(0x11).U32(0x26).U64(kCreated);
    struct Case {
        const char* what;
        std::string value;
        std::uint32_t inferred;
    };
    const Case cases[] = {
        {"empty", "", 0},
        {"no hex text", "hello", 0},
        {"hex text without digits", "0x", 0},
        {"only NULs", std::string("\0\0\0", 3), 0},
        {"cut blob", full.substr(0, full.size() - 1), 0x26},
        {"cut after the text", full.substr(0, 6), 0x26},
        {"padded blob", full + std::string(4, '\0'), 0x26},
        {"versions disagree", versionsDisagree.data, 0x26},
        {"text disagrees with the blob", textDisagrees.data, 0x22},
        {"unknown version", unknownVersion.data, 0x26},
        {"NUL before a cut blob", std::string("\0\0\5\0\5", 5), 0},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(ParseDosAttrib(c.value)) << c.what;
        EXPECT_EQ(InferDosAttrib(c.value).attributes, c.inferred) << c.what;
        EXPECT_FALSE(InferDosAttrib(c.value).creationTime) << c.what;
    }
    // Wine's text with its NUL is still Wine's text.
    EXPECT_EQ(ParseDosAttrib(std::string("0x22\0", 5))->attributes, 0x22u);
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string noise = full;
        noise[random() % noise.size()] = static_cast<char>(random());
        ParseDosAttrib(noise);  // must not crash or read out of bounds
    }
}

}  // namespace
}  // namespace platform::linux_fs
