// Writes COUNT small JPEGs, each with its own EXIF DateTimeOriginal, into folders of 1,000
// under DIR: the photos whose dates the EXIF benchmark sets as file times.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/PhotoBytes.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DIR COUNT\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) {
        const std::filesystem::path folder = dir / ("d" + std::to_string(i / 1000));
        std::filesystem::create_directories(folder);
        char date[32];
        std::snprintf(date, sizeof date, "2019:%02d:%02d %02d:%02d:%02d", 1 + i % 12, 1 + i % 28,
                      i % 24, i % 60, (i / 60) % 60);
        const std::string bytes = testsupport::PhotoBytes(Exiv2::ImageType::jpeg,
                                                          {{"Exif.Photo.DateTimeOriginal", date}});
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%05d.jpg", i);
        std::ofstream(folder / name, std::ios::binary) << bytes;
    }
    return 0;
}
