#include "engine/TymoUtils.h"

#include <array>
#include <charconv>
#include <optional>

#include "engine/TextBuilder.h"
#include "platform/LocaleFormats.h"
#include "platform/Path.h"
#include "platform/ShellInfo.h"

namespace engine {
namespace {

using platform::FileTime;
using platform::SystemTime;

std::optional<SystemTime> LocalParts(FileTime utc) {
    FileTime local = 0;
    SystemTime parts;
    if (!platform::FileTimeToLocalFileTime(utc, local) ||
        !platform::FileTimeToSystemTime(local, parts)) {
        return std::nullopt;
    }
    return parts;
}

TDateTime LocalDateTime(FileTime utc) {
    const std::optional<SystemTime> parts = LocalParts(utc);
    return parts ? SystemTimeToDateTime(*parts) : 0;
}

// Expands the short date pattern: d, dd, m, mm, yy, yyyy; anything else is literal.
void AppendShortDate(TTextBuilder& out, const SystemTime& t, const std::string& pattern) {
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        if (c == 'd' || c == 'm') {
            out.AppendNumber(static_cast<std::uint64_t>(c == 'd' ? t.day : t.month),
                             run >= 2 ? 2 : 1);
        } else if (c == 'y' && run >= 3) {
            out.AppendNumber(static_cast<std::uint64_t>(t.year));
        } else if (c == 'y') {
            out.AppendNumber(static_cast<std::uint64_t>(t.year % 100), 2);
        } else {
            out.Append(std::string_view(pattern).substr(i, run));
        }
        i += run;
    }
}

// Hours and minutes only: the list never shows seconds.
void AppendShortTime(TTextBuilder& out, const SystemTime& t, const platform::LocaleFormats& f) {
    const std::string& marker = t.hour < 12 ? f.amText : f.pmText;
    const bool showMarker = f.twelveHourClock && !marker.empty();
    if (showMarker && f.amPmBeforeTime) {
        out.Append(marker);
        out.Append(' ');
    }
    int hour = t.hour;
    if (f.twelveHourClock) {
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    out.AppendNumber(static_cast<std::uint64_t>(hour), f.hourLeadingZero ? 2 : 1);
    out.Append(':');
    out.AppendNumber(static_cast<std::uint64_t>(t.minute), 2);
    if (showMarker && !f.amPmBeforeTime) {
        out.Append(' ');
        out.Append(marker);
    }
}

std::optional<platform::FindData> Find(const std::string& path) {
    return platform::FindPath(path);
}

// One DOS value turned into a UTC file time; nothing when the DOS value is not a valid date.
std::optional<FileTime> DosToUtc(std::uint32_t dos) {
    FileTime local = 0;
    FileTime utc = 0;
    if (!platform::DosDateTimeToFileTime(static_cast<std::uint16_t>(dos >> 16),
                                         static_cast<std::uint16_t>(dos & 0xFFFF), local) ||
        !platform::LocalFileTimeToFileTime(local, utc)) {
        return std::nullopt;
    }
    return utc;
}

}  // namespace

void AppendDateTimeText(std::string& out, FileTime utc, const platform::LocaleFormats& formats) {
    const std::optional<SystemTime> parts = LocalParts(utc);
    if (!parts)
        return;
    TTextBuilder text(out);
    AppendShortDate(text, *parts, formats.shortDate);
    text.Append("  ");
    AppendShortTime(text, *parts, formats);
}

void AppendDateText(std::string& out, FileTime utc, const platform::LocaleFormats& formats) {
    const std::optional<SystemTime> parts = LocalParts(utc);
    if (!parts)
        return;
    TTextBuilder text(out);
    AppendShortDate(text, *parts, formats.shortDate);
}

std::string DateTimeText(FileTime utc, const platform::LocaleFormats& formats) {
    std::string text;
    AppendDateTimeText(text, utc, formats);
    return text;
}

std::string DateText(FileTime utc, const platform::LocaleFormats& formats) {
    std::string text;
    AppendDateText(text, utc, formats);
    return text;
}

std::optional<TDateTime> LocalDayOf(FileTime utc) {
    if (!LocalParts(utc))
        return std::nullopt;
    return DateOf(LocalDateTime(utc));
}

std::int64_t GetSizeOfFile(const std::string& path) {
    const auto found = Find(path);
    return found ? static_cast<std::int64_t>(found->size) : -1;
}

std::string CreatedTextOf(const std::optional<platform::FindData>& found) {
    return found && found->creationTime
               ? DateTimeText(*found->creationTime, platform::CurrentLocaleFormats())
               : std::string();
}

std::string ModifiedTextOf(const std::optional<platform::FindData>& found) {
    return found ? DateTimeText(found->lastWriteTime, platform::CurrentLocaleFormats())
                 : std::string();
}

std::string OpenedTextOf(const std::optional<platform::FindData>& found) {
    return found ? DateText(found->lastAccessTime, platform::CurrentLocaleFormats())
                 : std::string();
}

std::string GetCreatedText(const std::string& path) {
    return CreatedTextOf(Find(path));
}

std::string GetModifiedText(const std::string& path) {
    return ModifiedTextOf(Find(path));
}

std::string GetOpenedText(const std::string& path) {
    return OpenedTextOf(Find(path));
}

TDateTime GetCreatedTime(const std::string& path) {
    return CreatedTimeOf(Find(path));
}

TDateTime GetModifiedTime(const std::string& path) {
    return ModifiedTimeOf(Find(path));
}

TDateTime GetOpenedDate(const std::string& path) {
    return OpenedDateOf(Find(path));
}

TDateTime CreatedTimeOf(const std::optional<platform::FindData>& found) {
    return found && found->creationTime ? LocalDateTime(*found->creationTime) : 0;
}

TDateTime ModifiedTimeOf(const std::optional<platform::FindData>& found) {
    return found ? LocalDateTime(found->lastWriteTime) : 0;
}

TDateTime OpenedDateOf(const std::optional<platform::FindData>& found) {
    return DateOf(OpenedTimeOf(found));
}

TDateTime OpenedTimeOf(const std::optional<platform::FindData>& found) {
    return found ? LocalDateTime(found->lastAccessTime) : 0;
}

int GetIconIndex(const std::string& path, std::int32_t attributes) {
    return platform::IconIndexOf(platform::LastComponent(path),
                                 (attributes & platform::kAttrDirectory) != 0);
}

std::string GetTypeName(const std::string& path) {
    const std::uint32_t attributes = platform::GetFileAttributes(path);
    const bool isFolder =
        attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory);
    return platform::TypeNameOf(platform::LastComponent(path), isFolder);
}

std::string AttrToText(std::uint32_t attributes) {
    std::string text;
    AppendAttrText(text, attributes);
    return text;
}

void AppendAttrText(std::string& out, std::uint32_t a) {
    static constexpr struct {
        std::uint32_t bit;
        char letter;
    } kLetters[] = {{platform::kAttrDirectory, 'D'}, {platform::kAttrReadOnly, 'R'},
                    {platform::kAttrHidden, 'H'},    {platform::kAttrSystem, 'S'},
                    {platform::kAttrArchive, 'A'},   {platform::kAttrCompressed, 'C'},
                    {platform::kAttrTemporary, 'T'}};
    for (const auto& [bit, letter] : kLetters) {
        if (a & bit)
            out += letter;
    }
}

std::uint32_t DateTimeToDos(TDateTime date, TDateTime time) {
    int year, month, day, hour, minute, second, msec;
    DecodeDate(date, year, month, day);
    if (year < 1980 || year > 2099)
        return 0;
    DecodeTime(time, hour, minute, second, msec);
    const std::uint32_t low = static_cast<std::uint32_t>(second / 2 + minute * 32 + hour * 2048);
    const std::uint32_t high = static_cast<std::uint32_t>(day + month * 32 + (year - 1980) * 512);
    return high << 16 | low;
}

std::uint32_t DateToDos(TDateTime date) {
    return DateTimeToDos(date, 0) & 0xFFFF0000u;
}

std::optional<FileTime> DosFileTime(TDateTime date, TDateTime time) {
    return DosToUtc(DateTimeToDos(date, time));
}

platform::FileTimesToSet AllFileTimes(TDateTime date, TDateTime time) {
    const std::optional<FileTime> utc = DosFileTime(date, time);
    return {utc, utc, utc};
}

platform::FileTimesToSet FileTimesOf(TDateTime createdDate, TDateTime createdTime,
                                     TDateTime modifiedDate, TDateTime modifiedTime,
                                     TDateTime openedDate) {
    platform::FileTimesToSet times;
    times.creation = DosFileTime(createdDate, createdTime);
    times.lastWrite = DosFileTime(modifiedDate, modifiedTime);
    times.lastAccess = DosToUtc(DateToDos(openedDate));
    return times;
}

std::string IncludeBackslash(const std::string& text) {
    if (!text.empty() && text.back() == platform::kPathSeparator)
        return text;
    return text + platform::kPathSeparator;
}

std::string StripAmpersand(const std::string& text) {
    std::string result = text;
    const std::size_t amp = result.find('&');
    if (amp != std::string::npos)
        result.erase(amp, 1);
    return result;
}

int GetWindowsVersion() {
    return 0;
}

namespace {

// Reads up to `maxDigits` decimal digits at `at`; nothing when there is none.
std::optional<int> ReadNumber(const std::string& text, std::size_t& at, std::size_t maxDigits) {
    int value = 0;
    std::size_t digits = 0;
    while (at < text.size() && digits < maxDigits && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at] - '0');
        ++at;
        ++digits;
    }
    return digits > 0 ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

std::optional<TDateTime> ParseShortDate(const std::string& text, const std::string& pattern,
                                        int currentYear) {
    int year = -1, month = -1, day = -1;
    std::size_t at = 0;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        i += run;
        if (c == 'd' || c == 'm' || c == 'y') {
            const bool fullYear = c == 'y' && run >= 3;
            const std::optional<int> value = ReadNumber(text, at, fullYear ? 4 : 2);
            if (!value)
                return std::nullopt;
            (c == 'd' ? day : c == 'm' ? month : year) = *value;
            if (c == 'y' && !fullYear) {
                year += 2000;
                if (year > currentYear + 50)
                    year -= 100;
            }
        } else if (text.compare(at, run, std::string(run, c)) == 0) {
            at += run;
        } else {
            return std::nullopt;
        }
    }
    TDateTime date = 0;
    if (at != text.size() || !TryEncodeDate(year, month, day, date))
        return std::nullopt;
    return date;
}

std::string FormatSize(std::int64_t size) {
    return FormatSize(size, platform::CurrentLocaleFormats());
}

std::string FormatSize(std::int64_t size, const platform::LocaleFormats& formats) {
    std::string text;
    AppendSizeText(text, size, formats);
    return text;
}

void AppendSizeText(std::string& out, std::int64_t size, const platform::LocaleFormats& formats) {
    std::array<char, 20> digits;
    const std::uint64_t magnitude =
        size < 0 ? 0 - static_cast<std::uint64_t>(size) : static_cast<std::uint64_t>(size);
    const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), magnitude).ptr;
    const std::size_t count = static_cast<std::size_t>(end - digits.data());
    if (size < 0)
        out += '-';
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            out += formats.thousandSeparator;
        out += digits[i];
    }
}

}  // namespace engine
