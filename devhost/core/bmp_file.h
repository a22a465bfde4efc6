// Windows bitmaps (BMP) as the module's resources and a panel's background
// art are stored: uncompressed, 8-bit with a palette, 24- or 32-bit, rows
// bottom-up or top-down. Read here without drawing, so that a panel file's
// background can be checked where the panel is read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace devhost {

// Where such a BMP keeps its pixels, read a row at a time.
struct BmpLayout {
    int width = 0, height = 0;
    bool topDown = false;
    size_t bytesPerPixel = 0, rowBytes = 0, dataOffset = 0;
    std::array<uint32_t, 256> palette{};   // 8-bit files: 0x00RRGGBB per index

    // Row y from the top of the file's bytes, each 0x00RRGGBB pixel
    // through convert.
    template <typename Convert>
    void readRow(std::span<const unsigned char> bytes, int y, uint32_t* out, Convert convert) const;
};

// Nothing for any other file, or one whose palette or pixel rows run past
// its end.
std::optional<BmpLayout> bmpLayout(std::span<const unsigned char> bytes);

// Why bmpLayout refuses the bytes, as the end of a sentence about the file
// ("is not a BMP file", "is cut short: ...").
std::string bmpProblem(std::span<const unsigned char> bytes);

// The whole picture as 0x00RRGGBB pixels row by row from the top.
struct DecodedBitmap {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};
std::optional<DecodedBitmap> decodeBmp(std::span<const unsigned char> bytes);

template <typename Convert>
void BmpLayout::readRow(std::span<const unsigned char> bytes, int y, uint32_t* out, Convert convert) const
{
    auto rowAt = [&](int row) { return bytes.data() + dataOffset + size_t(topDown ? row : height - 1 - row) * rowBytes; };
    const unsigned char* p = rowAt(y);
    // Rows are mostly read from the top down: the next is fetched meanwhile,
    // as the processor does not foresee it where the file keeps its rows
    // bottom-up, backwards in memory.
    constexpr size_t CacheLine = 64;
    if (y + 1 < height)
        for (size_t at = 0; at < rowBytes; at += CacheLine)
            __builtin_prefetch(rowAt(y + 1) + at);
    if (bytesPerPixel == 1) {
        for (int x = 0; x < width; ++x)
            out[x] = convert(palette[p[x]]);
        return;
    }
    // Blue, green, red, in one little-endian load of four bytes; the last
    // pixel's may lie at the very end of the file, so it is read by bytes.
    int x = 0;
    for (; x + 1 < width; ++x, p += bytesPerPixel) {
        uint32_t word;
        std::memcpy(&word, p, sizeof word);
        out[x] = convert(word & 0xFFFFFF);
    }
    out[x] = convert(uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
}

}  // namespace devhost
