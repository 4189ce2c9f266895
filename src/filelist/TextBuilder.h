#pragma once
// Puts a short text together at the end of a string: the list's texts are made by the hundred
// thousand, straight into the listing that shows them or into a string of their own, and each
// piece of them as a string of its own would cost more than the look-up of the file.

#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace filelist {

class TTextBuilder {
public:
    // The text goes to the end of `out`, which must outlive the builder.
    explicit TTextBuilder(std::string& out) : out_(out) {}

    void Append(std::string_view text) { out_ += text; }
    void Append(char c) { out_ += c; }

    // The decimal digits of a number not below zero, with leading zeros up to `width`.
    void AppendNumber(std::uint64_t value, std::size_t width = 1) {
        std::array<char, 20> digits;
        const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
        const std::size_t count = static_cast<std::size_t>(end - digits.data());
        if (count < width)
            out_.append(width - count, '0');
        out_.append(digits.data(), count);
    }

private:
    std::string& out_;
};

}  // namespace filelist
