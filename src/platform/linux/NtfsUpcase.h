#pragma once
// The letter case NTFS compares names by: the volume's own table ($UpCase), one upper-case code
// unit for each UTF-16 code unit, which differs from the C library's towupper in some hundreds
// of places (dotless i, long s and the title-case digraphs stay as they are). Characters beyond
// the Basic Multilingual Plane are two surrogate code units, which every table leaves alone.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform::linux_fs {

// Code units first, first + step, … last map to themselves plus offset.
struct UpcaseRun {
    std::uint16_t first;
    std::uint16_t last;
    std::uint8_t step;
    std::int32_t offset;
};

// The table mkntfs writes into every new volume, as runs in order; the units outside them map
// to themselves.
extern const std::span<const UpcaseRun> kNtfsUpcaseRuns;

class TNtfsCaseTable {
public:
    // The table of a new volume, which Windows' own volumes carry as well.
    static const TNtfsCaseTable& Default();
    // The table of the volume whose top folder is `top`, where the volume shows its $UpCase
    // file (ntfs-3g with show_sys_files); nullopt elsewhere.
    static std::optional<TNtfsCaseTable> OfVolume(const std::string& top);

    char16_t Upper(char16_t unit) const { return upper_[unit]; }

private:
    explicit TNtfsCaseTable(std::vector<char16_t> upper) : upper_(std::move(upper)) {}
    std::vector<char16_t> upper_;  // 65536 entries
};

}  // namespace platform::linux_fs
