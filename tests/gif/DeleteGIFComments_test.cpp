// Comment removal on real files: what ends up on disk, and that a file is never damaged.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>

#include "GIFTestSupport.h"
#include "gif/DeleteGIFComments.h"
#include "support/TempDir.h"

namespace {

using giftest::Bytes;
using giftest::GifBuilder;
using giftest::TestImage;

std::string WriteFile(const testsupport::TempDir& dir, const std::string& name,
                      const Bytes& bytes) {
    return dir.Write(name, giftest::ToString(bytes));
}

Bytes ReadBytes(const std::string& path) {
    return giftest::ToBytes(testsupport::ReadFile(path));
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
    testsupport::TempDir dir;
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
    const std::string path = WriteFile(dir, "a.gif", input);
    gif::TGIFDocument image;
    gif::DeleteGIFComments(image, path);

    const Bytes output = ReadBytes(path);
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

TEST(DeleteGIFComments, OnlyCommentsLeaveAGIF87aFile) {
    testsupport::TempDir dir;
    const std::string path = WriteFile(
        dir, "c.gif", GifBuilder().Header(3, 2, 4).Comment({"x"}).Image(kImage).Trailer().Get());
    gif::TGIFDocument image;
    gif::DeleteGIFComments(image, path);
    EXPECT_EQ(testsupport::ReadFile(path).substr(0, 6), "GIF87a");
}

TEST(DeleteGIFComments, FileWithoutCommentsIsRewritten) {
    testsupport::TempDir dir;
    const Bytes input =
        GifBuilder().Header(3, 2, 4).Loop(0).Image(kImage, {.subBlockSize = 3}).Trailer().Get();
    const std::string path = WriteFile(dir, "n.gif", input);
    gif::TGIFDocument image;
    gif::DeleteGIFComments(image, path);
    const Bytes output = ReadBytes(path);
    EXPECT_NE(output, input);
    EXPECT_TRUE(std::equal(input.begin() + 6, input.begin() + 25, output.begin() + 6));
    ExpectSameFrames(Frames(output), Frames(input));
}

TEST(DeleteGIFComments, KeepsTheFileItself) {
    testsupport::TempDir dir;
    const std::string path =
        WriteFile(dir, "k.gif",
                  GifBuilder()
                      .Header(3, 2, 4)
                      .Comment(std::vector<std::string>(8, std::string(250, 'c')))
                      .Image(kImage)
                      .Trailer()
                      .Get());
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const bool xattrs = setxattr(path.c_str(), "user.kelvane.test", "kept", 4, 0) == 0;
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);

    gif::TGIFDocument image;
    gif::DeleteGIFComments(image, path);

    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(static_cast<std::size_t>(after.st_size), ReadBytes(path).size());
    EXPECT_LT(after.st_size, before.st_size);
    if (xattrs) {
        char value[8] = {};
        EXPECT_EQ(getxattr(path.c_str(), "user.kelvane.test", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
}

TEST(DeleteGIFComments, FailuresLeaveTheFileAsItWas) {
    testsupport::TempDir dir;
    struct Case {
        const char* name;
        std::string content;
        const char* error;
    };
    const Case cases[] = {
        {"not a GIF", "This is a text file, not a picture.\n", "Invalid GIF signature"},
        {"colour outside the table",
         giftest::ToString(GifBuilder().Header(3, 2, 0).Image(kImage).Trailer().Get()),
         "Color not in color table"},
        {"unknown extension",
         giftest::ToString(GifBuilder().Header(3, 2, 4).Raw({0x21, 0x99, 0}).Get()),
         "Unknown extension type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.Write(std::string(c.name) + ".gif", c.content);
        gif::TGIFDocument image;
        const std::string error = giftest::ErrorOf([&] { gif::DeleteGIFComments(image, path); });
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(testsupport::ReadFile(path), c.content);
    }
    gif::TGIFDocument image;
    const std::string missing = dir / "missing.gif";
    EXPECT_EQ(giftest::ErrorOf([&] { gif::DeleteGIFComments(image, missing); }),
              "Cannot open file " + missing);
}

TEST(DeleteGIFComments, FifoNamedLikeAGifFailsWithoutWaiting) {
    testsupport::TempDir dir;
    const std::string fifo = dir / "pipe.gif";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    gif::TGIFDocument image;
    EXPECT_EQ(giftest::ErrorOf([&] { gif::DeleteGIFComments(image, fifo); }),
              "Cannot open file " + fifo);
}

TEST(DeleteGIFComments, WithOnlyAnEmptySubImageTheWriteFails) {
    testsupport::TempDir dir;
    const std::string content = giftest::ToString(GifBuilder().Header(3, 2, 4).Trailer().Get());
    const std::string path = dir.Write("e.gif", content);
    gif::TGIFDocument image;
    EXPECT_EQ(giftest::ErrorOf([&] { gif::DeleteGIFComments(image, path); }),
              "Unsupported GIF version");
    EXPECT_EQ(testsupport::ReadFile(path), content);
}

TEST(DeleteGIFComments, ReadOnlyFileIsNotWrittenEvenByRoot) {
    testsupport::TempDir dir;
    const Bytes input = GifBuilder().Header(3, 2, 4).Comment({"x"}).Image(kImage).Trailer().Get();
    const std::string path = WriteFile(dir, "r.gif", input);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    gif::TGIFDocument image;
    EXPECT_EQ(giftest::ErrorOf([&] { gif::DeleteGIFComments(image, path); }),
              "Cannot create file " + path);
    EXPECT_EQ(ReadBytes(path), input);
}

// Growing past a file-size limit makes the write fail half-way; the old bytes must come back.
TEST(DeleteGIFComments, FailedWritePutsTheOldBytesBack) {
    testsupport::TempDir dir;
    std::mt19937 random(5);
    Bytes input = GifBuilder()
                      .Header(200, 200, 256)
                      .Comment({"c"})
                      .Image({0, 0, 200, 200, giftest::RandomPixels(random, 40000, 256), 0, false})
                      .Get();
    // Cut inside the image data: the rewrite encodes all 40000 pixels and grows well past this.
    input.resize(2000);
    const std::string path = WriteFile(dir, "w.gif", input);

    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit limited = old;
    limited.rlim_cur = input.size() + 100;
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    gif::TGIFDocument image;
    const std::string error = giftest::ErrorOf([&] { gif::DeleteGIFComments(image, path); });
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, "Stream write error");
    EXPECT_EQ(ReadBytes(path), input);
}

// Decoding our output and the input with giflib gives the same pixels, frame by frame.
TEST(DeleteGIFComments, PixelsSurviveAsAnIndependentDecoderSeesThem) {
    testsupport::TempDir dir;
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
        const std::string path = WriteFile(dir, "p" + std::to_string(i) + ".gif", inputs[i]);
        gif::TGIFDocument image;
        gif::DeleteGIFComments(image, path);
        const Bytes output = ReadBytes(path);
        EXPECT_FALSE(HasComment(output));
        ExpectSameFrames(Frames(output), Frames(inputs[i]));
    }
}

}  // namespace
