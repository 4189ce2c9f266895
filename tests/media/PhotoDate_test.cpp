#include "media/PhotoDate.h"

#include <gtest/gtest.h>
#include <exiv2/exiv2.hpp>

#include "support/PhotoBytes.h"

namespace media {
namespace {

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A JPEG whose EXIF segment is cut short: its length says more than the file holds.
std::string CutInExif(std::string jpeg) {
    return jpeg.substr(0, jpeg.find("Exif") + 20);
}

TEST(PhotoDateTest, TakesTheDateOfTheShotWithItsOffset) {
    const std::string original = "Exif.Photo.DateTimeOriginal";
    const std::string digitized = "Exif.Photo.DateTimeDigitized";
    const std::string modified = "Exif.Image.DateTime";
    const int jpeg = Exiv2::ImageType::jpeg;
    struct Case {
        const char* what;
        std::string bytes;
        std::optional<platform::SystemTime> parts;
        std::optional<int> offset;
        std::string reason;
    };
    const Case cases[] = {
        {"the shot, local time", testsupport::PhotoBytes(jpeg, {{original, "2023:01:02 03:04:05"}}),
         platform::SystemTime{2023, 1, 2, 3, 4, 5, 0}, std::nullopt, ""},
        {"the shot before the others, with its own offset",
         testsupport::PhotoBytes(jpeg, {{modified, "2024:06:01 10:00:00"},
                                        {"Exif.Photo.OffsetTime", "+09:00"},
                                        {original, "2023:01:02 03:04:05"},
                                        {"Exif.Photo.OffsetTimeOriginal", "+02:00"}}),
         platform::SystemTime{2023, 1, 2, 3, 4, 5, 0}, 120, ""},
        {"digitized, west of UTC",
         testsupport::PhotoBytes(jpeg, {{digitized, "2020:02:29 23:59:59"},
                                        {"Exif.Photo.OffsetTimeDigitized", "-05:30"}}),
         platform::SystemTime{2020, 2, 29, 23, 59, 59, 0}, -330, ""},
        {"a zero date is passed over",
         testsupport::PhotoBytes(
             jpeg, {{original, "0000:00:00 00:00:00"}, {modified, "2019:12:31 08:00:00"}}),
         platform::SystemTime{2019, 12, 31, 8, 0, 0, 0}, std::nullopt, ""},
        {"a PNG",
         testsupport::PhotoBytes(Exiv2::ImageType::png, {{original, "2022:07:08 09:10:11"}}),
         platform::SystemTime{2022, 7, 8, 9, 10, 11, 0}, std::nullopt, ""},
        {"no date tag", testsupport::PhotoBytes(jpeg, {{"Exif.Image.Make", "Camera"}}),
         std::nullopt, std::nullopt, kNoPhotoDate},
        {"not an image", "just some text", std::nullopt, std::nullopt, kNoPhotoDate},
        {"EXIF cut short",
         CutInExif(testsupport::PhotoBytes(jpeg, {{original, "2023:01:02 03:04:05"}})),
         std::nullopt, std::nullopt, kDamagedPhoto},
    };
    for (const Case& c : cases) {
        const DateFound found = ReadPhotoDate(Bytes(c.bytes));
        ASSERT_EQ(found.date.has_value(), c.parts.has_value()) << c.what << ": " << found.reason;
        EXPECT_EQ(found.reason, c.reason) << c.what;
        if (!c.parts)
            continue;
        const platform::SystemTime& p = found.date->parts;
        EXPECT_EQ((std::array{p.year, p.month, p.day, p.hour, p.minute, p.second}),
                  (std::array{c.parts->year, c.parts->month, c.parts->day, c.parts->hour,
                              c.parts->minute, c.parts->second}))
            << c.what;
        EXPECT_EQ(found.date->utcOffsetMinutes, c.offset) << c.what;
    }
}

}  // namespace
}  // namespace media
