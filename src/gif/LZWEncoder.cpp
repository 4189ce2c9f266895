#include "gif/LZWEncoder.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "gif/GIFException.h"
#include "gif/RowOrder.h"

namespace gif {
namespace {

constexpr int kMaxWidth = 12;
// The decoder's width grows when its next code reaches 4096; stopping one short keeps both
// sides at 12 bits until the clear.
constexpr int kLastCode = 4095;

// Room for the codes of an image in the worst case: one code per pixel, a clear code every few
// thousand, three codes more, and the four bytes that every code stores whether or not they
// are complete yet.
std::size_t CodeBufferSize(std::size_t pixelCount) {
    return (pixelCount + pixelCount / 2048 + 4) * kMaxWidth / 8 + 8;
}

// Packs codes least significant bit first into a buffer of CodeBufferSize bytes. A plain value,
// so that the compression loop can hold it in registers.
struct TCodePacker {
    std::uint8_t* next = nullptr;
    std::uint64_t bits = 0;
    unsigned count = 0;

    void Put(int code, int width) {
        bits |= static_cast<std::uint64_t>(code) << count;
        count += static_cast<unsigned>(width);
        // The low four bytes always go out; they count only once they are complete, which
        // spares a branch that would go either way on its own rhythm.
        const auto word = static_cast<std::uint32_t>(bits);
        std::memcpy(next, &word, sizeof word);
        const unsigned full = count >> 5;  // count stays below 64, so 0 or 1
        next += 4 * full;
        bits >>= 32 * full;
        count -= 32 * full;
    }
    // The pending bits, the last byte filled up with zero bits; returns the end of the codes.
    std::uint8_t* Flush() {
        while (count > 0) {
            *next++ = static_cast<std::uint8_t>(bits);
            bits >>= 8;
            count = count > 8 ? count - 8 : 0;
        }
        return next;
    }
};

// The runs of rows in data order, so that the compression loop needs no callback.
std::vector<std::pair<int, std::size_t>> RowRuns(int height, bool interlaced) {
    std::vector<std::pair<int, std::size_t>> runs;
    ForEachRowRun(height, interlaced, [&](int y, std::size_t rows) {
        runs.emplace_back(y, rows);
        return true;
    });
    return runs;
}

// Every pixel must lie below the colour count. One pass over all of them up front keeps the
// check out of the compression loop; a bad pixel anywhere still fails the save before any code
// has left the encoder.
void CheckColors(const TEncoderSource& source) {
    const std::size_t count =
        static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height);
    std::uint8_t largest = 0;
    for (std::size_t i = 0; i < count; ++i)
        largest = std::max(largest, source.pixels[i]);
    if (largest >= source.colorCount)
        throw GIFException(msg::kColorNotInTable);
}

// The LZW string of codes for one image: a clear first and whenever the table is full, the
// width grown after the code that was written while the next free code already exceeded the
// largest code of the width, in step with the decoder. Returns the end of the codes. All state
// lives in locals: the loop stores bytes, which the compiler must otherwise assume to change
// any member it would read next.
std::uint8_t* Compress(const TEncoderSource& source, int minCodeSize, std::uint8_t* codes) {
    CheckColors(source);
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    const int initialWidth = minCodeSize + 1;
    int width = initialWidth;
    int largestCode = (1 << width) - 1;
    int nextFree = clearCode + 2;
    const auto tableOwner = std::make_unique<THashTable>();  // about 32 KB: kept off the stack
    THashTable& table = *tableOwner;
    TCodePacker packer{codes};

    const auto output = [&](int code) {
        packer.Put(code, width);
        if (nextFree > largestCode) {
            ++width;
            largestCode = width == kMaxWidth ? 4096 : (1 << width) - 1;
        }
    };
    const auto clear = [&] {
        packer.Put(clearCode, width);
        width = initialWidth;
        largestCode = (1 << width) - 1;
        table.Clear();
        nextFree = clearCode + 2;
    };

    clear();
    const std::size_t rowWidth = static_cast<std::size_t>(source.width);
    int prefix = -1;
    for (const auto& [y, rows] : RowRuns(source.height, source.interlaced)) {
        const std::uint8_t* pixel = source.pixels + static_cast<std::size_t>(y) * rowWidth;
        const std::uint8_t* const end = pixel + rows * rowWidth;
        if (prefix < 0)
            prefix = *pixel++;
        for (; pixel != end; ++pixel) {
            const int value = *pixel;
            const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | value;
            const auto [slot, entry] = table.Find(key);
            if (!THashTable::IsEmpty(entry)) {
                prefix = THashTable::CodeOf(entry);
                continue;
            }
            output(prefix);
            prefix = value;
            if (nextFree < kLastCode) {
                table.Store(slot, key, nextFree++);
            } else {
                clear();
            }
        }
    }
    output(prefix);
    packer.Put(endCode, width);
    return packer.Flush();
}

}  // namespace

void EncodeImageData(TByteWriter& out, const TEncoderSource& source) {
    assert(source.pixels != nullptr || source.width == 0 || source.height == 0);
    const int minCodeSize = std::max(2, source.bitsPerPixel);
    out.Put(static_cast<std::uint8_t>(minCodeSize));

    const std::size_t pixelCount =
        static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height);
    const auto codes = std::make_unique_for_overwrite<std::uint8_t[]>(CodeBufferSize(pixelCount));
    std::uint8_t* end = nullptr;
    if (pixelCount > 0) {
        end = Compress(source, minCodeSize, codes.get());
    } else {
        TCodePacker packer{codes.get()};
        packer.Put((1 << minCodeSize) + 1, minCodeSize + 1);
        end = packer.Flush();
    }

    TGIFWriter writer(out);
    writer.Write(codes.get(), static_cast<std::size_t>(end - codes.get()));
    writer.Finish();
    out.Put(0);
}

}  // namespace gif
