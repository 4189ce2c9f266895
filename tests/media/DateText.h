#pragma once
// What a reader found, as one line to compare: "YYYY-MM-DD HH:MM:SS", then " UTC+MINUTES" when
// the file states its offset; else the reason there is none.

#include <cstdio>
#include <string>

#include "media/MediaDate.h"

namespace mediatest {

inline std::string DateText(const media::DateFound& found) {
    if (!found.date)
        return found.reason;
    const platform::SystemTime& t = found.date->parts;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    const std::optional<int> offset = found.date->utcOffsetMinutes;
    return text + (offset ? " UTC" + std::to_string(*offset) : std::string()) +
           (found.reason.empty() ? "" : " and a reason");
}

inline std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace mediatest
