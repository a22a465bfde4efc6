// Windows bitmaps (BMP) as the module's resources and a panel's background
// art are stored: uncompressed, 8-bit with a palette, 24- or 32-bit, rows
// bottom-up or top-down. Read here without drawing, so that a panel file's
// background can be checked where the panel is read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
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

    // Row y from the top of the file's bytes: as the file keeps them
    // (0x00RRGGBB), or as a picture draws them (RowPixels below). Whether
    // any pixel was keyed out.
    enum class RowPixels {
        AsStored,
        Opaque,       // 0xFFRRGGBB
        BlackKeyed,   // opaque, but pure black transparent (0): the module's transparent colour
    };
    bool readRow(std::span<const unsigned char> bytes, int y, uint32_t* out, RowPixels as = RowPixels::AsStored) const;
};

// Four pixels, one to a 32-bit lane: what the row reader and the renderer
// work on at once.
using FourPixels = uint32_t __attribute__((vector_size(16)));

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

}  // namespace devhost
