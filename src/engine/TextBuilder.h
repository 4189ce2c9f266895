#pragma once
// A short text put together on the stack and handed out as one string: the list's texts are
// made by the hundred thousand, and each piece of them as a string of its own would cost more
// than the look-up of the file.

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace engine {

class TTextBuilder {
public:
    void Append(std::string_view text) {
        if (spilled_) {
            heap_ += text;
        } else if (size_ + text.size() <= stack_.size()) {
            std::memcpy(stack_.data() + size_, text.data(), text.size());
            size_ += text.size();
        } else {
            // Longer than any locale's pattern should make it; kept whole all the same.
            heap_.assign(stack_.data(), size_);
            heap_ += text;
            spilled_ = true;
        }
    }

    void Append(char c) { Append(std::string_view(&c, 1)); }

    // The decimal digits of a number not below zero, with leading zeros up to `width`.
    void AppendNumber(std::uint64_t value, std::size_t width = 1) {
        std::array<char, 20> digits;
        const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
        const std::size_t count = static_cast<std::size_t>(end - digits.data());
        for (std::size_t i = count; i < width; ++i)
            Append('0');
        Append(std::string_view(digits.data(), count));
    }

    std::string Take() { return spilled_ ? std::move(heap_) : std::string(stack_.data(), size_); }
    // The text so far, for a caller that adds it to a longer text of its own.
    std::string_view View() const {
        return spilled_ ? std::string_view(heap_) : std::string_view(stack_.data(), size_);
    }

private:
    std::array<char, 64> stack_;
    std::size_t size_ = 0;
    bool spilled_ = false;
    std::string heap_;
};

}  // namespace engine
