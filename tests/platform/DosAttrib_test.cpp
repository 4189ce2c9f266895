#include "platform/linux/DosAttrib.h"

#include <gtest/gtest.h>

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

TEST(DosAttribTest, ReadsWineHexTextWithoutNul) {
    const auto parsed = ParseDosAttrib("0x22");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->attributes, 0x22u);
    EXPECT_FALSE(parsed->creationTime);
}

TEST(DosAttribTest, ReadsSambaVersion5Blob) {
    // "0x6\0", pad to 2 -> offset 4: version, level, then the record at offset 8.
    Bytes blob;
    blob.Text("0x6").Zeros(1).U16(5).U16(5).U32(0x11).U32(0x06).U64(kCreated);
    const auto parsed = ParseDosAttrib(blob.data);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->attributes, 0x06u);
    EXPECT_EQ(parsed->creationTime, kCreated);
}

TEST(DosAttribTest, ReadsSambaBlobWithoutText) {
    // As Samba 4.17 stores a file that a Windows client made read-only: an empty text, then the
    // version 5 blob with attribute 0x1 and a creation time.
    Bytes blob;
    blob.Zeros(2).U16(5).U16(5).Zeros(2).U32(0x11).U32(0x01).U64(kCreated);
    const auto parsed = ParseDosAttrib(blob.data);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->attributes, 0x01u);
    EXPECT_EQ(parsed->creationTime, kCreated);
}

TEST(DosAttribTest, HonoursValidFlags) {
    Bytes attribOnly;
    attribOnly.Text("0x2").Zeros(1).U16(5).U16(5).U32(0x01).U32(0x02).U64(kCreated);
    EXPECT_FALSE(ParseDosAttrib(attribOnly.data)->creationTime);

    Bytes timeOnly;
    timeOnly.Text("0x2").Zeros(1).U16(5).U16(5).U32(0x10).U32(0x02).U64(kCreated);
    const auto parsed = ParseDosAttrib(timeOnly.data);
    EXPECT_EQ(parsed->attributes, 0u);
    EXPECT_EQ(parsed->creationTime, kCreated);
}

TEST(DosAttribTest, ZeroAndAllOnesCreationTimesAreNotKnown) {
    for (const std::uint64_t stored : {0ull, ~0ull}) {
        Bytes blob;
        blob.Text("0x20").Zeros(1).Zeros(1).U16(5).U16(5).Zeros(2).U32(0x11).U32(0x20).U64(stored);
        const auto parsed = ParseDosAttrib(blob.data);
        ASSERT_TRUE(parsed);
        EXPECT_FALSE(parsed->creationTime);
        EXPECT_EQ(parsed->attributes, 0x20u);
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

TEST(DosAttribTest, WritesNoCreateFlagWithoutCreationTime) {
    const std::string value = EncodeDosAttrib({0x2, std::nullopt});
    const auto back = ParseDosAttrib(value);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->attributes, 0x2u);
    EXPECT_FALSE(back->creationTime);
}

TEST(DosAttribTest, ReadsOlderVersions) {
    Bytes v1;  // attrib, ea_size, size, alloc_size, create_time
    v1.Text("0x21")
        .Zeros(2)
        .U16(1)
        .U16(1)
        .Zeros(2)
        .U32(0x21)
        .U32(0)
        .U64(0)
        .U64(0)
        .U64(kCreated)
        .U64(0);
    EXPECT_EQ(ParseDosAttrib(v1.data)->attributes, 0x21u);
    EXPECT_EQ(ParseDosAttrib(v1.data)->creationTime, kCreated);

    Bytes v4;  // valid_flags, attrib, itime, create_time
    v4.Text("0x4").Zeros(1).U16(4).U16(4).U32(0x11).U32(0x04).U64(7).U64(kCreated);
    EXPECT_EQ(ParseDosAttrib(v4.data)->attributes, 0x04u);
    EXPECT_EQ(ParseDosAttrib(v4.data)->creationTime, kCreated);
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
