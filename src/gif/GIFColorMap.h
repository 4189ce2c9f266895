#pragma once
// A GIF colour table: up to 256 entries of red, green and blue in file order.

#include <cstdint>
#include <vector>

#include "gif/ByteReader.h"
#include "gif/ByteWriter.h"

namespace gif {

struct TGIFColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const TGIFColor&) const = default;
};

class TGIFColorMap {
public:
    static constexpr int kMaxColors = 256;

    int Count() const { return count_; }
    // Room reserved for entries: 16 for up to 16, else the count rounded up to a multiple of 32.
    int Capacity() const { return capacity_; }
    bool Empty() const { return count_ == 0; }
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted) { sorted_ = sorted; }

    const TGIFColor& operator[](int index) const {
        return colors_[static_cast<std::size_t>(index)];
    }
    // Appends one entry; a full map of 256 is left as it is.
    void Add(const TGIFColor& color);
    void Clear();

    // 0 for an empty map, else the smallest b >= 1 with 2^b >= Count().
    int BitsPerPixel() const;

    // Replaces the entries by `count` entries read exactly from the stream.
    void LoadFromStream(TByteReader& in, int count);
    // The entries, padded with black to 2^BitsPerPixel(); nothing for an empty map.
    void SaveToStream(TByteWriter& out) const;

private:
    void Grow(int count);

    // Sized to the entries: most images of an animation have no table of their own, and a
    // file of many tiny images would otherwise hold a full table for each.
    std::vector<TGIFColor> colors_;
    int count_ = 0;
    int capacity_ = 0;
    bool sorted_ = false;
};

}  // namespace gif
