#include "media/PhotoDate.h"

#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>

#include <array>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>

namespace media {
namespace {

// The image types that carry EXIF data; Exiv2 also reads videos, sidecars and bitmaps, whose
// dates (if any) are not a photo's and which may be far too large to read whole.
constexpr std::array kPhotoTypes = {
    Exiv2::ImageType::jpeg, Exiv2::ImageType::exv,  Exiv2::ImageType::crw,  Exiv2::ImageType::tiff,
    Exiv2::ImageType::mrw,  Exiv2::ImageType::png,  Exiv2::ImageType::cr2,  Exiv2::ImageType::raf,
    Exiv2::ImageType::orf,  Exiv2::ImageType::psd,  Exiv2::ImageType::jp2,  Exiv2::ImageType::rw2,
    Exiv2::ImageType::pgf,  Exiv2::ImageType::bmff, Exiv2::ImageType::webp,
};

// The date tags in the order they are trusted, each with the tag that gives its offset.
struct DateTag {
    const char* date;
    const char* offset;
};
constexpr std::array kDateTags = {
    DateTag{"Exif.Photo.DateTimeOriginal", "Exif.Photo.OffsetTimeOriginal"},
    DateTag{"Exif.Photo.DateTimeDigitized", "Exif.Photo.OffsetTimeDigitized"},
    DateTag{"Exif.Image.DateTime", "Exif.Photo.OffsetTime"},
};

// Once per process, before any thread reads a photo: the XMP toolkit's set-up is not safe to
// race, HEIF and its kin are read only when asked for, and Exiv2's warnings about damaged data
// would otherwise go to standard error, where the command line reports only failures.
void SetUpExiv2() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
        Exiv2::enableBMFF(true);
    });
}

// "YYYY:MM:DD HH:MM:SS", as EXIF writes it; a blank or zero date (cameras without a clock
// write one) is no date.
std::optional<platform::SystemTime> ParseExifDate(std::string_view text) {
    platform::SystemTime t;
    if (text.size() < 19 || text[4] != ':' || text[7] != ':' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':' || !ReadDigits(text, 0, 4, t.year) ||
        !ReadDigits(text, 5, 2, t.month) || !ReadDigits(text, 8, 2, t.day) ||
        !ReadDigits(text, 11, 2, t.hour) || !ReadDigits(text, 14, 2, t.minute) ||
        !ReadDigits(text, 17, 2, t.second)) {
        return std::nullopt;
    }
    if (t.year == 0 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 ||
        t.minute > 59 || t.second > 59) {
        return std::nullopt;
    }
    return t;
}

// "+HH:MM" or "-HH:MM" in minutes; anything else is no offset.
std::optional<int> ParseOffset(std::string_view text) {
    int hours = 0;
    int minutes = 0;
    if (text.size() < 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':' ||
        !ReadDigits(text, 1, 2, hours) || !ReadDigits(text, 4, 2, minutes) || hours > 14 ||
        minutes > 59) {
        return std::nullopt;
    }
    const int offset = hours * 60 + minutes;
    return text[0] == '-' ? -offset : offset;
}

std::optional<std::string> TagText(const Exiv2::ExifData& exif, const char* key) {
    const auto found = exif.findKey(Exiv2::ExifKey(key));
    if (found == exif.end())
        return std::nullopt;
    return found->toString();
}

}  // namespace

bool IsPhoto(std::span<const std::uint8_t> head) {
    SetUpExiv2();
    try {
        const int type = Exiv2::ImageFactory::getType(head.data(), static_cast<long>(head.size()));
        for (const int photo : kPhotoTypes) {
            if (type == photo)
                return true;
        }
    } catch (...) {
        // Bytes Exiv2 cannot even tell the type of are no photo it reads.
    }
    return false;
}

DateFound ReadPhotoDate(std::span<const std::uint8_t> bytes) {
    SetUpExiv2();
    if (!IsPhoto(bytes.first(std::min(bytes.size(), kPhotoPrefix))))
        return {std::nullopt, kNoPhotoDate};
    try {
        const auto image = Exiv2::ImageFactory::open(bytes.data(), static_cast<long>(bytes.size()));
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        for (const DateTag& tag : kDateTags) {
            const std::optional<std::string> text = TagText(exif, tag.date);
            const std::optional<platform::SystemTime> parts =
                text ? ParseExifDate(*text) : std::nullopt;
            if (!parts)
                continue;
            const std::optional<std::string> offset = TagText(exif, tag.offset);
            return {MediaDate{*parts, offset ? ParseOffset(*offset) : std::nullopt}, {}};
        }
        return {std::nullopt, kNoPhotoDate};
    } catch (...) {
        // Exiv2 reports damaged data by throwing; whatever it throws, the file has no date.
        return {std::nullopt, kDamagedPhoto};
    }
}

}  // namespace media
