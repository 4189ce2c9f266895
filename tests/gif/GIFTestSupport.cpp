#include "GIFTestSupport.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "gif/GIFException.h"

namespace giftest {
namespace {

class BitPacker {
public:
    void Put(int code, int width) {
        buffer_ |= static_cast<std::uint64_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(buffer_));
            buffer_ >>= 8;
            count_ -= 8;
        }
    }
    Bytes Finish(int minCodeSize, std::size_t subBlockSize) {
        if (count_ > 0)
            bytes_.push_back(static_cast<std::uint8_t>(buffer_));
        Bytes out{static_cast<std::uint8_t>(minCodeSize)};
        for (std::size_t at = 0; at < bytes_.size(); at += subBlockSize) {
            const std::size_t n = std::min(subBlockSize, bytes_.size() - at);
            out.push_back(static_cast<std::uint8_t>(n));
            out.insert(out.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes_.begin() + static_cast<std::ptrdiff_t>(at + n));
        }
        out.push_back(0);
        return out;
    }

private:
    std::uint64_t buffer_ = 0;
    int count_ = 0;
    Bytes bytes_;
};

void PutU16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

int BitsFor(int colors) {
    int bits = 1;
    while ((1 << bits) < colors)
        ++bits;
    return bits;
}

}  // namespace

Bytes ReferenceLzw(const Bytes& values, int minCodeSize, const LzwStyle& style) {
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    int width = minCodeSize + 1;
    int next = clear + 2;
    std::map<std::pair<int, int>, int> table;
    BitPacker bits;
    if (style.leadingClear)
        bits.Put(clear, width);
    if (!values.empty()) {
        int prefix = values[0];
        for (std::size_t i = 1; i < values.size(); ++i) {
            const int value = values[i];
            const auto found = table.find({prefix, value});
            if (found != table.end()) {
                prefix = found->second;
                continue;
            }
            bits.Put(prefix, width);
            if (next < 4096) {
                table[{prefix, value}] = next++;
                // The decoder defines each entry one code later, so it widens when its next
                // code reaches 2^width, one code after ours passes it.
                if (next > (1 << width) && width < 12)
                    ++width;
            } else if (style.clearWhenFull) {
                bits.Put(clear, width);
                table.clear();
                next = clear + 2;
                width = minCodeSize + 1;
            }
            prefix = value;
        }
        bits.Put(prefix, width);
    }
    bits.Put(end, width);
    return bits.Finish(minCodeSize, style.subBlockSize);
}

Bytes PackCodes(int minCodeSize, const std::vector<std::pair<int, int>>& codes,
                std::size_t subBlockSize) {
    BitPacker bits;
    for (const auto& [code, width] : codes)
        bits.Put(code, width);
    return bits.Finish(minCodeSize, subBlockSize);
}

Bytes InterlaceOrder(const Bytes& pixels, int width, int height) {
    Bytes out;
    const std::pair<int, int> passes[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    for (const auto& [first, step] : passes) {
        for (int y = first; y < height; y += step) {
            const auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * width;
            out.insert(out.end(), row, row + width);
        }
    }
    return out;
}

Bytes ColorTable(int count) {
    Bytes table;
    for (int i = 0; i < count; ++i) {
        table.push_back(static_cast<std::uint8_t>(i * 3));
        table.push_back(static_cast<std::uint8_t>(255 - i));
        table.push_back(static_cast<std::uint8_t>(i * 7));
    }
    return table;
}

Bytes RandomPixels(std::mt19937& random, std::size_t count, int colors) {
    std::uniform_int_distribution<int> pick(0, colors - 1);
    Bytes pixels(count);
    for (auto& pixel : pixels)
        pixel = static_cast<std::uint8_t>(pick(random));
    return pixels;
}

Bytes PatternPixels(std::size_t width, std::size_t height, int colors) {
    Bytes pixels(width * height);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            pixels[y * width + x] =
                static_cast<std::uint8_t>(((x / 7) ^ (y / 5) ^ (x * y / 97)) % colors);
        }
    }
    return pixels;
}

GifBuilder& GifBuilder::Header(std::uint16_t width, std::uint16_t height, int globalColors,
                               const char* signature) {
    globalColors_ = globalColors;
    bytes_.insert(bytes_.end(), signature, signature + std::strlen(signature));
    PutU16(bytes_, width);
    PutU16(bytes_, height);
    const int bits = globalColors > 0 ? BitsFor(globalColors) : 1;
    bytes_.push_back(
        static_cast<std::uint8_t>((globalColors > 0 ? 0x80 : 0) | ((bits - 1) << 4) | (bits - 1)));
    bytes_.push_back(0);
    bytes_.push_back(0);
    if (globalColors > 0)
        Raw(ColorTable(1 << bits));
    return *this;
}

GifBuilder& GifBuilder::Comment(const std::vector<std::string>& subBlocks) {
    bytes_.push_back(0x21);
    bytes_.push_back(0xFE);
    for (const std::string& block : subBlocks) {
        bytes_.push_back(static_cast<std::uint8_t>(block.size()));
        bytes_.insert(bytes_.end(), block.begin(), block.end());
    }
    bytes_.push_back(0);
    return *this;
}

GifBuilder& GifBuilder::GraphicControl(bool transparent, std::uint8_t transparentIndex,
                                       std::uint16_t delay) {
    Raw({0x21, 0xF9, 4, static_cast<std::uint8_t>((1 << 2) | (transparent ? 1 : 0))});
    PutU16(bytes_, delay);
    Raw({transparentIndex, 0});
    return *this;
}

GifBuilder& GifBuilder::Loop(std::uint16_t count) {
    Raw({0x21, 0xFF, 11});
    Raw(ToBytes("NETSCAPE2.0"));
    Raw({3, 1});
    PutU16(bytes_, count);
    bytes_.push_back(0);
    return *this;
}

GifBuilder& GifBuilder::Image(const TestImage& image, const LzwStyle& style) {
    bytes_.push_back(0x2C);
    PutU16(bytes_, image.left);
    PutU16(bytes_, image.top);
    PutU16(bytes_, image.width);
    PutU16(bytes_, image.height);
    std::uint8_t packed = image.interlaced ? 0x40 : 0;
    if (image.localColors > 0)
        packed |= 0x80 | (BitsFor(image.localColors) - 1);
    bytes_.push_back(packed);
    if (image.localColors > 0)
        Raw(ColorTable(1 << BitsFor(image.localColors)));
    const int colors = image.localColors > 0 ? image.localColors : std::max(globalColors_, 1);
    const Bytes values =
        image.interlaced ? InterlaceOrder(image.pixels, image.width, image.height) : image.pixels;
    Raw(ReferenceLzw(values, std::max(2, BitsFor(colors)), style));
    return *this;
}

GifBuilder& GifBuilder::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

GifBuilder& GifBuilder::Trailer() {
    bytes_.push_back(0x3B);
    return *this;
}

std::optional<std::vector<Frame>> GiflibDecode(const Bytes& file) {
    struct Source {
        const Bytes* bytes;
        std::size_t position;
    } source{&file, 0};
    const InputFunc read = [](GifFileType* gif, GifByteType* target, int count) -> int {
        auto* from = static_cast<Source*>(gif->UserData);
        const std::size_t n =
            std::min(static_cast<std::size_t>(count), from->bytes->size() - from->position);
        std::memcpy(target, from->bytes->data() + from->position, n);
        from->position += n;
        return static_cast<int>(n);
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read, &error);
    if (gif == nullptr)
        return std::nullopt;
    std::optional<std::vector<Frame>> frames;
    if (DGifSlurp(gif) == GIF_OK) {
        frames.emplace();
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& saved = gif->SavedImages[i];
            Frame frame{saved.ImageDesc.Width, saved.ImageDesc.Height, {}, {}};
            frame.pixels.assign(
                saved.RasterBits,
                saved.RasterBits + static_cast<std::size_t>(frame.width) * frame.height);
            for (int j = 0; j < saved.ExtensionBlockCount; ++j) {
                const ::ExtensionBlock& block = saved.ExtensionBlocks[j];
                frame.extensions.push_back(
                    {block.Function, Bytes(block.Bytes, block.Bytes + block.ByteCount)});
            }
            frames->push_back(std::move(frame));
        }
    }
    DGifCloseFile(gif, &error);
    return frames;
}

void Load(gif::TGIFDocument& image, const Bytes& file, std::vector<std::string>* warnings) {
    if (warnings != nullptr) {
        image.SetWarningHandler(
            [warnings](const std::string& message) { warnings->push_back(message); });
    }
    gif::TByteReader in(file);
    image.LoadFromStream(in);
}

Bytes Save(const gif::TGIFDocument& image) {
    gif::TByteWriter out;
    image.SaveToStream(out);
    return out.Bytes();
}

Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}
Bytes Cat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
std::string ToString(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace giftest
