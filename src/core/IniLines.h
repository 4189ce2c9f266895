#pragma once
// The text of an INI file kept line by line, so that writing a value changes that one line and
// nothing else: comments, blank lines, duplicate keys, lines of other programs and sections the
// program does not know stay byte for byte where they were.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class TIniLines {
public:
    explicit TIniLines(std::string_view text = {});

    // The value of the first such key in the first such section, spaces around it removed;
    // section and key names match without regard to letter case.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    // Rewrites the line of that key, or adds one after the section's last key, or adds the
    // section at the end.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);

    // Every line, each ended by a line feed.
    std::string Text() const;

private:
    // Where the section's header is, and the line after its last key (or after the header).
    struct SectionSpan {
        std::size_t header;
        std::size_t end;
    };
    std::optional<SectionSpan> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(const SectionSpan& span, std::string_view key) const;

    std::vector<std::string> lines_;
};

}  // namespace core
