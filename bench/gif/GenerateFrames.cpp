// Writes the GIFs of the scaling figures byte by byte: many tiny frames behind one comment (time
// per frame), and large frames of a single colour whose data really encodes every pixel in
// little space (memory per frame).
//
//   gif_bench_frames frames COUNT OUT              COUNT frames of 1 x 1 pixel, one comment
//   gif_bench_frames solid WIDTH HEIGHT COUNT OUT  COUNT WIDTH x HEIGHT frames of colour 0

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// Signature, logical screen and a global table of two colours (black, white).
void Header(Bytes& out, unsigned width, unsigned height) {
    const std::string signature = "GIF89a";
    out.insert(out.end(), signature.begin(), signature.end());
    PutU16(out, width);
    PutU16(out, height);
    out.insert(out.end(), {0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF});
}

void Comment(Bytes& out) {
    const std::string text = "made for the frame-count benchmark";
    out.insert(out.end(), {0x21, 0xFE, static_cast<std::uint8_t>(text.size())});
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void Descriptor(Bytes& out, unsigned width, unsigned height) {
    out.push_back(0x2C);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, width);
    PutU16(out, height);
    out.push_back(0);
}

// Codes packed least significant bit first, cut into sub-blocks of 255 bytes.
class TCodePacker {
public:
    explicit TCodePacker(Bytes& out) : out_(out) {}
    void Put(unsigned code, int width) {
        bits_ |= static_cast<std::uint64_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            Byte(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    void Finish() {
        if (count_ > 0)
            Byte(static_cast<std::uint8_t>(bits_));
        if (!block_.empty())
            Flush();
        out_.push_back(0);
    }

private:
    void Byte(std::uint8_t value) {
        block_.push_back(value);
        if (block_.size() == 255)
            Flush();
    }
    void Flush() {
        out_.push_back(static_cast<std::uint8_t>(block_.size()));
        out_.insert(out_.end(), block_.begin(), block_.end());
        block_.clear();
    }

    Bytes& out_;
    Bytes block_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
};

// The LZW data of `pixels` values 0 with a minimum code size of 2. After the opening clear each
// code stands for one value more than the one before (0, then 6, 7, ... each the string being
// defined), until the table is full at code 4095; from there on the longest string is repeated
// at 12 bits with no further clear, about 2,700 values per byte. The width follows the decoder:
// it grows when the entry a code adds fills the current width.
void SolidData(Bytes& out, std::uint64_t pixels) {
    constexpr unsigned kClear = 4;
    constexpr unsigned kEnd = 5;
    constexpr unsigned kLastCode = 4095;
    out.push_back(2);
    TCodePacker packer(out);
    int width = 3;
    packer.Put(kClear, width);
    unsigned nextEntry = kEnd + 1;
    std::uint64_t length = 1;
    bool first = true;
    const auto put = [&](unsigned code) {
        packer.Put(code, width);
        if (first) {
            first = false;
        } else if (nextEntry <= kLastCode) {
            ++nextEntry;
            if (nextEntry >= (1u << width) && width < 12)
                ++width;
        }
    };
    // The code of the string of n zeros while n is at most the longest one defined.
    const auto codeOf = [](std::uint64_t n) { return n == 1 ? 0u : static_cast<unsigned>(n + 4); };
    const std::uint64_t longest = kLastCode - 4;
    while (pixels > 0) {
        const std::uint64_t n = length < pixels ? length : pixels;
        put(codeOf(n));
        pixels -= n;
        if (length < longest)
            ++length;
    }
    put(kEnd);
    packer.Finish();
}

bool Write(const char* path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

int Usage() {
    std::fprintf(stderr,
                 "usage: gif_bench_frames frames COUNT OUT\n"
                 "       gif_bench_frames solid WIDTH HEIGHT COUNT OUT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Bytes bytes;
    const std::string kind = argc > 1 ? argv[1] : "";
    const char* out = nullptr;
    if (kind == "frames" && argc == 4) {
        const long count = std::strtol(argv[2], nullptr, 10);
        Header(bytes, 1, 1);
        Comment(bytes);
        for (long i = 0; i < count; ++i) {
            Descriptor(bytes, 1, 1);
            // Clear, 0, end at three bits each.
            bytes.insert(bytes.end(), {0x02, 0x02, 0x44, 0x01, 0x00});
        }
        out = argv[3];
    } else if (kind == "solid" && argc == 6) {
        const unsigned width = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
        const unsigned height = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
        const long count = std::strtol(argv[4], nullptr, 10);
        if (width == 0 || width > 0xFFFF || height == 0 || height > 0xFFFF)
            return Usage();
        Header(bytes, width, height);
        Comment(bytes);
        for (long i = 0; i < count; ++i) {
            Descriptor(bytes, width, height);
            SolidData(bytes, std::uint64_t{width} * height);
        }
        out = argv[5];
    } else {
        return Usage();
    }
    bytes.push_back(0x3B);
    return Write(out, bytes) ? 0 : 1;
}
