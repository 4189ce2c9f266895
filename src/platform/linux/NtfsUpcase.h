#pragma once
// The letter case NTFS compares names by: its own table ($UpCase), one upper-case code unit for
// each UTF-16 code unit, which differs from the C library's towupper in some hundreds of places
// (dotless i, long s, the title-case digraphs stay as they are). The table is the one mkntfs
// writes, as Windows does; characters beyond the Basic Multilingual Plane are two code units
// that map to themselves.

#include <algorithm>
#include <cstdint>
#include <span>

namespace platform::linux_fs {

// Code units first, first + step, … last map to themselves plus offset.
struct UpcaseRun {
    std::uint16_t first;
    std::uint16_t last;
    std::uint8_t step;
    std::int32_t offset;
};

// Every run, in order; the units outside them map to themselves.
extern const std::span<const UpcaseRun> kNtfsUpcaseRuns;

inline char16_t NtfsUpcase(char16_t unit) {
    const auto after = std::upper_bound(
        kNtfsUpcaseRuns.begin(), kNtfsUpcaseRuns.end(), unit,
        [](char16_t u, const UpcaseRun& run) { return u < run.first; });
    if (after == kNtfsUpcaseRuns.begin())
        return unit;
    const UpcaseRun& run = *(after - 1);
    if (unit > run.last || (unit - run.first) % run.step != 0)
        return unit;
    return static_cast<char16_t>(unit + run.offset);
}

}  // namespace platform::linux_fs
