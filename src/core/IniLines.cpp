#include "core/IniLines.h"

#include <algorithm>

namespace core {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// The name of a "[Section]" line; nullopt for any other line.
std::optional<std::string_view> HeaderName(std::string_view line) {
    line = Trimmed(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.find(']');
    return Trimmed(line.substr(1, close == std::string_view::npos ? close : close - 1));
}

// The key of a "Key=Value" line; nullopt for a comment, a header or a line without "=".
std::optional<std::string_view> KeyName(std::string_view line) {
    line = Trimmed(line);
    const std::size_t equals = line.find('=');
    if (line.empty() || line.front() == ';' || line.front() == '#' || line.front() == '[' ||
        equals == std::string_view::npos)
        return std::nullopt;
    return Trimmed(line.substr(0, equals));
}

}  // namespace

TIniLines::TIniLines(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines_.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

std::optional<TIniLines::SectionSpan> TIniLines::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = HeaderName(lines_[i]);
        if (!name || !SameName(*name, section))
            continue;
        SectionSpan span{i, i + 1};
        for (std::size_t j = i + 1; j < lines_.size() && !HeaderName(lines_[j]); ++j) {
            if (KeyName(lines_[j]))
                span.end = j + 1;
        }
        return span;
    }
    return std::nullopt;
}

std::optional<std::size_t> TIniLines::FindKey(const SectionSpan& span, std::string_view key) const {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (const auto name = KeyName(lines_[i]); name && SameName(*name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> TIniLines::Value(std::string_view section, std::string_view key) const {
    const auto span = FindSection(section);
    const auto line = span ? FindKey(*span, key) : std::nullopt;
    if (!line)
        return std::nullopt;
    const std::string& text = lines_[*line];
    return std::string(Trimmed(std::string_view(text).substr(text.find('=') + 1)));
}

void TIniLines::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    const auto span = FindSection(section);
    if (!span) {
        // A blank line parts the new section from what was there, as editors lay files out.
        if (!lines_.empty() && !Trimmed(lines_.back()).empty())
            lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(std::move(line));
    } else if (const auto at = FindKey(*span, key)) {
        lines_[*at] = std::move(line);
    } else {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(span->end), std::move(line));
    }
}

std::string TIniLines::Text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace core
