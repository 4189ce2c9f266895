#include "media/PhotoDate.h"

#include <gtest/gtest.h>
#include <exiv2/exiv2.hpp>

#include "DateText.h"
#include "support/PhotoBytes.h"

namespace media {
namespace {

TEST(PhotoDateTest, TakesTheDateOfTheShotWithItsOffset) {
    const std::string original = "Exif.Photo.DateTimeOriginal";
    const std::string modified = "Exif.Image.DateTime";
    const auto jpeg = [](const std::vector<std::pair<std::string, std::string>>& tags) {
        return testsupport::PhotoBytes(Exiv2::ImageType::jpeg, tags);
    };
    const std::string shot = jpeg({{original, "2023:01:02 03:04:05"}});
    const std::pair<std::string, std::string> cases[] = {
        {shot, "2023-01-02 03:04:05"},
        {jpeg({{modified, "2024:06:01 10:00:00"},
               {"Exif.Photo.OffsetTime", "+09:00"},
               {original, "2023:01:02 03:04:05"},
               {"Exif.Photo.OffsetTimeOriginal", "+02:00"}}),
         "2023-01-02 03:04:05 UTC120"},
        {jpeg({{"Exif.Photo.DateTimeDigitized", "2020:02:29 23:59:59"},
               {"Exif.Photo.OffsetTimeDigitized", "-05:30"}}),
         "2020-02-29 23:59:59 UTC-330"},
        // Cameras without a clock write zeros.
        {jpeg({{original, "0000:00:00 00:00:00"}, {modified, "2019:12:31 08:00:00"}}),
         "2019-12-31 08:00:00"},
        {testsupport::PhotoBytes(Exiv2::ImageType::png, {{original, "2022:07:08 09:10:11"}}),
         "2022-07-08 09:10:11"},
        {jpeg({{"Exif.Image.Make", "Camera"}}), kNoPhotoDate},
        {"just some text", kNoPhotoDate},
        // The EXIF segment says it is longer than the file.
        {shot.substr(0, shot.find("Exif") + 20), kDamagedPhoto},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(mediatest::DateText(ReadPhotoDate(mediatest::Bytes(bytes))), expected);
}

}  // namespace
}  // namespace media
