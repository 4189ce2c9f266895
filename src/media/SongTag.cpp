#include "media/SongTag.h"

#include <mutex>
#include <string_view>

#include <id3v2framefactory.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <tbytevector.h>
#include <tbytevectorstream.h>
#include <tdebuglistener.h>
#include <textidentificationframe.h>
#include <unknownframe.h>

namespace media {
namespace {

// TagLib reports damaged frames on standard error, where the command line reports only the
// files it could not change.
class TQuietTagLib : public TagLib::DebugListener {
public:
    void printMessage(const TagLib::String&) override {}
};

void SetUpTagLib() {
    static std::once_flag once;
    static TQuietTagLib quiet;
    std::call_once(once, [] { TagLib::setDebugListener(&quiet); });
}

// The text of a frame, whether TagLib knows its kind or keeps it as it found it (the ID3v2.3
// date frames it leaves unconverted): one encoding byte, then the text.
std::string FrameText(const TagLib::ID3v2::Tag& tag, const char* id) {
    const TagLib::ID3v2::FrameList& frames = tag.frameList(id);
    if (frames.isEmpty())
        return {};
    const TagLib::ID3v2::Frame* frame = frames.front();
    if (const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frame))
        return text->toString().to8Bit(true);
    if (const auto* unknown = dynamic_cast<const TagLib::ID3v2::UnknownFrame*>(frame)) {
        const TagLib::ByteVector data = unknown->data();
        if (data.size() < 2 || static_cast<unsigned char>(data[0]) > TagLib::String::UTF8)
            return {};
        return TagLib::String(data.mid(1), static_cast<TagLib::String::Type>(data[0])).to8Bit(true);
    }
    return {};
}

// A timestamp "YYYY-MM-DD", optionally followed by "THH", ":MM" and ":SS"; a year or a month
// alone does not tell the day a song was recorded.
std::optional<platform::SystemTime> ParseTimestamp(std::string_view text) {
    platform::SystemTime t;
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' || !ReadDigits(text, 0, 4, t.year) ||
        !ReadDigits(text, 5, 2, t.month) || !ReadDigits(text, 8, 2, t.day)) {
        return std::nullopt;
    }
    if (text.size() >= 13 && (text[10] != 'T' || !ReadDigits(text, 11, 2, t.hour)))
        return std::nullopt;
    if (text.size() >= 16 && (text[13] != ':' || !ReadDigits(text, 14, 2, t.minute)))
        return std::nullopt;
    if (text.size() >= 19 && (text[16] != ':' || !ReadDigits(text, 17, 2, t.second)))
        return std::nullopt;
    if (t.year == 0 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 ||
        t.minute > 59 || t.second > 59) {
        return std::nullopt;
    }
    return t;
}

// TDRC; an ID3v2.3 tag keeps the year (TYER, which TagLib reads as TDRC), the day and month
// (TDAT, "DDMM") and the hour and minute (TIME, "HHMM") apart.
DateFound RecordingTime(const TagLib::ID3v2::Tag& tag) {
    std::string stamp = FrameText(tag, "TDRC");
    if (stamp.empty())
        stamp = FrameText(tag, "TYER");
    const std::string day = FrameText(tag, "TDAT");
    const std::string time = FrameText(tag, "TIME");
    if (stamp.size() == 4 && day.size() == 4) {
        stamp += "-" + day.substr(2, 2) + "-" + day.substr(0, 2);
        if (time.size() == 4)
            stamp += "T" + time.substr(0, 2) + ":" + time.substr(2, 2);
    }
    if (const std::optional<platform::SystemTime> parts = ParseTimestamp(stamp))
        return {MediaDate{*parts, std::nullopt}, {}};
    return {std::nullopt, kNoSongDate};
}

}  // namespace

std::optional<std::size_t> SongTagSize(std::span<const std::uint8_t> head) {
    if (head.size() < kSongTagHeader || head[0] != 'I' || head[1] != 'D' || head[2] != '3' ||
        head[3] == 0xFF || head[4] == 0xFF) {
        return std::nullopt;
    }
    std::size_t size = 0;
    for (std::size_t i = 6; i < kSongTagHeader; ++i) {
        if (head[i] >= 0x80)
            return std::nullopt;
        size = (size << 7) | head[i];
    }
    // Version 4 may end the tag with a copy of its header.
    const bool footer = head[3] == 4 && (head[5] & 0x10) != 0;
    return kSongTagHeader + size + (footer ? kSongTagHeader : 0);
}

SongTag ReadSongTag(std::span<const std::uint8_t> bytes) {
    SetUpTagLib();
    SongTag song;
    const std::optional<std::size_t> size = SongTagSize(bytes);
    if (!size) {
        song.recorded.reason = kNoSongTag;
        return song;
    }
    song.state = SongTag::State::Damaged;
    song.recorded.reason = kDamagedSongTag;
    // A tag longer than the file was cut short.
    if (bytes.size() < *size)
        return song;
    try {
        const TagLib::ByteVector data(reinterpret_cast<const char*>(bytes.data()),
                                      static_cast<unsigned int>(*size));
        TagLib::ByteVectorStream stream(data);
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        const TagLib::ID3v2::Tag* tag = file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr;
        // Frames declared (the first byte after the header is not padding) and none read.
        if (!file.isValid() || !tag ||
            (tag->frameList().isEmpty() && *size > kSongTagHeader && bytes[kSongTagHeader] != 0)) {
            return song;
        }
        song.state = SongTag::State::Read;
        song.artist = tag->artist().to8Bit(true);
        song.title = tag->title().to8Bit(true);
        song.recorded = RecordingTime(*tag);
    } catch (...) {
        // Whatever TagLib throws on damaged bytes, the tag reads as damaged.
    }
    return song;
}

}  // namespace media
