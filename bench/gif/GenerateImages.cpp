// Writes the benchmark's image set with our own writer: a 1600 x 1200 picture in 256 colours,
// a 30-frame 400 x 300 animation and a folder of small icons, each with comment blocks; a folder
// of 50 pictures without comments (nothing to write); and a damaged file of 34 bytes that
// declares a 32000 x 32000 image, for the memory figures.
//
//   gif_bench_gen OUTDIR

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "gif/GIFDocument.h"

namespace {

using gif::TGIFDocument;
using gif::TGIFSubImage;

void AddComment(TGIFSubImage& subImage, const std::string& text) {
    auto comment = std::make_unique<gif::TGIFCommentExtension>(subImage);
    comment->Lines().push_back(text);
    subImage.Extensions().Add(std::move(comment));
}

void SetPalette(gif::TGIFColorMap& map, int colors) {
    map.Clear();
    for (int i = 0; i < colors; ++i) {
        map.Add({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                 static_cast<std::uint8_t>(i * 37)});
    }
}

TGIFSubImage& AddImage(TGIFDocument& doc, int left, int top, int width, int height) {
    TGIFSubImage& subImage = doc.Images().Add(std::make_unique<TGIFSubImage>(doc));
    subImage.Descriptor().left = static_cast<std::uint16_t>(left);
    subImage.Descriptor().top = static_cast<std::uint16_t>(top);
    subImage.Descriptor().width = static_cast<std::uint16_t>(width);
    subImage.Descriptor().height = static_cast<std::uint16_t>(height);
    subImage.Pixels().resize(static_cast<std::size_t>(width) * height);
    return subImage;
}

// A smooth picture with ordered dithering noise, the way photographs end up in GIF.
void Paint(TGIFSubImage& subImage, int colors, double phase, std::mt19937& random) {
    const int width = subImage.Descriptor().width;
    const int height = subImage.Descriptor().height;
    std::uniform_int_distribution<int> dither(-2, 2);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double v = std::sin(x * 0.011 + phase) + std::cos(y * 0.017 - phase) +
                             std::sin((x + y) * 0.005 + 2 * phase);
            int index =
                static_cast<int>((v + 3) / 6 * (colors - 1)) + ((x ^ y) & 1 ? dither(random) : 0);
            index = std::clamp(index, 0, colors - 1);
            subImage.Pixels()[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(index);
        }
    }
}

void Save(const TGIFDocument& doc, const std::filesystem::path& path) {
    gif::TByteWriter out;
    doc.SaveToStream(out);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.Bytes().data()),
               static_cast<std::streamsize>(out.Bytes().size()));
}

void Screen(TGIFDocument& doc, int width, int height, int colors) {
    doc.Header().Screen().width = static_cast<std::uint16_t>(width);
    doc.Header().Screen().height = static_cast<std::uint16_t>(height);
    SetPalette(doc.Header().ColorMap(), colors);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gif_bench_gen OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out / "large");
    std::filesystem::create_directories(out / "animation");
    std::filesystem::create_directories(out / "small");
    std::filesystem::create_directories(out / "plain");
    std::filesystem::create_directories(out / "damaged");
    std::mt19937 random(1);

    {
        TGIFDocument doc;
        Screen(doc, 1600, 1200, 256);
        TGIFSubImage& image = AddImage(doc, 0, 0, 1600, 1200);
        AddComment(image, "Made for the comment removal benchmark");
        AddComment(image, std::string(200, 'c'));
        Paint(image, 256, 0.3, random);
        Save(doc, out / "large" / "large.gif");
    }
    {
        TGIFDocument doc;
        Screen(doc, 400, 300, 128);
        for (int frame = 0; frame < 30; ++frame) {
            TGIFSubImage& image = AddImage(doc, 0, 0, 400, 300);
            AddComment(image, "frame " + std::to_string(frame));
            Paint(image, 128, frame * 0.2, random);
        }
        Save(doc, out / "animation" / "animation.gif");
    }
    for (int i = 0; i < 50; ++i) {
        TGIFDocument doc;
        Screen(doc, 32, 32, 16);
        TGIFSubImage& image = AddImage(doc, 0, 0, 32, 32);
        AddComment(image, "icon " + std::to_string(i));
        Paint(image, 16, i * 0.5, random);
        char name[32];
        std::snprintf(name, sizeof name, "icon%02d.gif", i);
        Save(doc, out / "small" / name);
    }
    for (int i = 0; i < 50; ++i) {
        TGIFDocument doc;
        Screen(doc, 320, 240, 256);
        Paint(AddImage(doc, 0, 0, 320, 240), 256, i * 0.1, random);
        char name[32];
        std::snprintf(name, sizeof name, "plain%02d.gif", i);
        Save(doc, out / "plain" / name);
    }
    {
        // Header, a comment, a 32000 x 32000 descriptor and data for one pixel.
        const unsigned char huge[] = {'G',  'I',  'F',  '8', '9', 'a', 0,    0x7D, 0, 0x7D, 0, 0,
                                      0,    0x21, 0xFE, 1,   'c', 0,   0x2C, 0,    0, 0,    0, 0,
                                      0x7D, 0,    0x7D, 0,   2,   2,   0x44, 0x01, 0, 0x3B};
        std::ofstream file(out / "damaged" / "huge.gif", std::ios::binary);
        file.write(reinterpret_cast<const char*>(huge), sizeof huge);
    }
    return 0;
}
