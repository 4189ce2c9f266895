#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FakeFrontEnd.h"
#include "engine/RunEngine.h"
#include "engine/TymoUtils.h"
#include "gif/GIFDocument.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace engine {
namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

const std::string kComment = std::string("\x21\xFE\x02hi\x00", 6);
const std::string kHeader = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) +
                            std::string("\x00\x00\x00\xFF\xFF\xFF", 6);
// One 1x1 image of colour 0: clear, 0, end at three bits each.
const std::string kImage = std::string("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10) +
                           std::string("\x02\x02\x44\x01\x00", 5);

std::string GifWithComments() {
    return kHeader + kComment + kComment + kImage + kComment + kImage + "\x3B";
}

std::size_t Count(const std::string& haystack, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        ++count;
    }
    return count;
}

class GifStepTest : public ::testing::Test {
protected:
    void SetUp() override { host.options.deleteGIFComments = true; }
    TempDir dir;
    enginetest::FakeRows rows;
    enginetest::FakeHost host;
    TRunEngine engine{rows, host, host};
};

TEST_F(GifStepTest, EveryCommentGoesAndTheImagesStay) {
    const std::string lower = dir.Write("a.gif", GifWithComments());
    const std::string upper = dir.Write("B.GIF", GifWithComments());
    const std::string other = dir.Write("c.txt", GifWithComments());
    rows.Add(lower);
    rows.Add(upper);
    rows.Add(other);
    engine.Start(RunScope::All);
    ASSERT_TRUE(host.errors.empty()) << host.errors[0];
    for (const std::string& path : {lower, upper}) {
        const std::string bytes = ReadFile(path);
        EXPECT_EQ(Count(bytes, "\x21\xFE"), 0u) << path;
        gif::TGIFDocument image;
        gif::TByteReader in(
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
        image.LoadFromStream(in);
        EXPECT_EQ(image.Images().Count(), 2);
    }
    EXPECT_EQ(rows.rows[0].texts[0], filelist::FormatSize(GetSizeOfFile(lower)));
    EXPECT_EQ(ReadFile(other), GifWithComments());  // not a ".gif" name
}

TEST_F(GifStepTest, FilesLeftAsTheyWere) {
    const std::string plain = kHeader + kImage + "\x3B";
    const std::string withoutComments = dir.Write("plain.gif", plain);
    const std::string readOnly = dir.Write("ro.gif", GifWithComments());
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    const timespec old[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, withoutComments.c_str(), old, 0), 0);
    rows.Add(withoutComments);
    rows.Add(readOnly);
    engine.Start(RunScope::All);

    // Without comments there is nothing to write: not even the modified time moves.
    EXPECT_EQ(ReadFile(withoutComments), plain);
    struct stat st {};
    ASSERT_EQ(stat(withoutComments.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'000'000'000);
    // A read-only file says so, as Windows would refuse to open it for writing.
    EXPECT_EQ(host.errors, (std::vector<std::string>{readOnly + ": Cannot create file " + readOnly +
                                                     ": the file is read-only; 0 left"}));
    EXPECT_EQ(ReadFile(readOnly), GifWithComments());
}

TEST_F(GifStepTest, ErrorEndsTheRunAndReturnsToIdle) {
    host.options.setAttr = true;
    host.options.archive = true;
    const std::string before = dir.Write("1.txt");
    const std::string broken = dir.Write("2.gif", "this is not a picture");
    const std::string after = dir.Write("3.txt");
    rows.Add(before);
    rows.Add(broken);
    rows.Add(after);
    engine.Start(RunScope::All);

    EXPECT_EQ(host.errors, (std::vector<std::string>{broken + ": Invalid GIF signature; 1 left"}));
    EXPECT_EQ(ReadFile(broken), "this is not a picture");
    EXPECT_EQ(platform::GetFileAttributes(before), platform::kAttrArchive);  // kept
    EXPECT_EQ(platform::GetFileAttributes(after), 0u);                       // never reached
    // The run is over: idle, progress back at 0, and the next pick starts a new run.
    EXPECT_TRUE(engine.Idle());
    EXPECT_EQ(host.positions.back(), 0);
    EXPECT_EQ(host.states, (std::vector<bool>{true, false}));
}

// An image of `width` x `height` (little-endian bytes) with no data behind it.
std::string GifWithoutData(const std::string& size) {
    return kHeader + kComment + std::string("\x2C\x00\x00\x00\x00", 5) + size +
           std::string("\x00\x02\x00\x3B", 4);
}

TEST_F(GifStepTest, HugeDeclaredImageIsRefusedBeforeItIsDecoded) {
    // 40000 x 40000, within what a rewrite may hold: decoding would fill 1.6 gigabytes.
    const std::string huge = GifWithoutData("\x40\x9C\x40\x9C");
    const std::string path = dir.Write("huge.gif", huge);
    rows.Add(path);
    engine.Start(RunScope::All);
    EXPECT_EQ(host.errors,
              (std::vector<std::string>{path + ": Decoder bit buffer under-run; 0 left"}));
    EXPECT_EQ(ReadFile(path), huge);
}

// Too large is not damaged: the file is named and left as it was, no later step of it runs,
// and the run goes on with the next file.
TEST_F(GifStepTest, ImageTooLargeEndsOnlyItsFile) {
    host.options.setAttr = true;
    host.options.archive = true;
    const std::string tooLarge = GifWithoutData("\xFF\xFF\xFF\xFF");
    const std::string big = dir.Write("big.gif", tooLarge);
    const std::string next = dir.Write("next.gif", GifWithComments());
    rows.Add(big);
    rows.Add(next);
    engine.Start(RunScope::All);

    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(host.failures,
              (std::vector<std::string>{
                  big + ": Image too large: 65535 x 65535 pixels (at most 2147483648 per image)"}));
    EXPECT_EQ(ReadFile(big), tooLarge);
    EXPECT_EQ(platform::GetFileAttributes(big), 0u);
    EXPECT_EQ(Count(ReadFile(next), "\x21\xFE"), 0u);
    EXPECT_EQ(platform::GetFileAttributes(next), platform::kAttrArchive);
    EXPECT_TRUE(engine.Idle());
}

}  // namespace
}  // namespace engine
