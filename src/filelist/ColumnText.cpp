#include "filelist/ColumnText.h"

#include <array>
#include <charconv>

#include "filelist/TextBuilder.h"
#include "platform/Path.h"
#include "platform/ShellInfo.h"

namespace filelist {
namespace {

using filelist::TTextBuilder;
using platform::FileTime;
using platform::SystemTime;

std::optional<SystemTime> LocalParts(FileTime utc) {
    SystemTime parts;
    if (!platform::FileTimeToLocalSystemTime(utc, parts))
        return std::nullopt;
    return parts;
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

std::optional<int> LocalDayOf(FileTime utc) {
    const std::optional<SystemTime> parts = LocalParts(utc);
    if (!parts)
        return std::nullopt;
    return (parts->year * 100 + parts->month) * 100 + parts->day;
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
    return CreatedTextOf(platform::FindPath(path));
}

std::string GetModifiedText(const std::string& path) {
    return ModifiedTextOf(platform::FindPath(path));
}

std::string GetOpenedText(const std::string& path) {
    return OpenedTextOf(platform::FindPath(path));
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

}  // namespace filelist
