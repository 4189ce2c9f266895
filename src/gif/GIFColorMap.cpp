#include "gif/GIFColorMap.h"

#include <algorithm>
#include <array>

namespace gif {

void TGIFColorMap::Grow(int count) {
    capacity_ = count <= 16 ? 16 : std::min(kMaxColors, (count + 31) / 32 * 32);
    colors_.reserve(static_cast<std::size_t>(capacity_));
}

void TGIFColorMap::Add(const TGIFColor& color) {
    if (count_ >= kMaxColors)
        return;
    Grow(count_ + 1);
    colors_.push_back(color);
    ++count_;
}

void TGIFColorMap::Clear() {
    colors_ = {};
    count_ = 0;
    capacity_ = 0;
    sorted_ = false;
}

int TGIFColorMap::BitsPerPixel() const {
    if (count_ == 0)
        return 0;
    int bits = 1;
    while ((1 << bits) < count_)
        ++bits;
    return bits;
}

void TGIFColorMap::LoadFromStream(TByteReader& in, int count) {
    Clear();
    std::array<std::uint8_t, 3 * kMaxColors> bytes{};
    in.ReadExact(bytes.data(), static_cast<std::size_t>(count) * 3);
    Grow(count);
    for (int i = 0; i < count; ++i) {
        const std::size_t at = static_cast<std::size_t>(i) * 3;
        colors_.push_back({bytes[at], bytes[at + 1], bytes[at + 2]});
    }
    count_ = count;
}

void TGIFColorMap::SaveToStream(TByteWriter& out) const {
    if (count_ == 0)
        return;
    for (int i = 0; i < count_; ++i) {
        const TGIFColor& color = colors_[static_cast<std::size_t>(i)];
        out.Put(color.red);
        out.Put(color.green);
        out.Put(color.blue);
    }
    for (int i = count_; i < (1 << BitsPerPixel()); ++i) {
        out.Put(0);
        out.Put(0);
        out.Put(0);
    }
}

}  // namespace gif
