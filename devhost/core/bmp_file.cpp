#include "devhost/core/bmp_file.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace devhost {

namespace {

uint32_t littleEndian(std::span<const unsigned char> bytes, size_t at, size_t width)
{
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value |= uint32_t{bytes[at + i]} << (8 * i);
    return value;
}

// Pixels finished as a row is asked for: their spare byte cleared, and
// then made opaque, pure black keyed out, four at a time or one.
template <BmpLayout::RowPixels As>
struct Finish {
    static constexpr uint32_t Colour = 0xFFFFFF, Opaque = 0xFF000000u;
    FourPixels anyBlack{};

    FourPixels operator()(FourPixels four)
    {
        four &= Colour;
        if constexpr (As == BmpLayout::RowPixels::AsStored)
            return four;
        if constexpr (As == BmpLayout::RowPixels::Opaque)
            return four | Opaque;
        const auto black = FourPixels(four == 0);
        anyBlack |= black;
        return (four | Opaque) & ~black;
    }
    uint32_t operator()(uint32_t pixel) { return (*this)(FourPixels{} + pixel)[0]; }   // in every lane: none left black
    bool keyedAny() const { return (anyBlack[0] | anyBlack[1] | anyBlack[2] | anyBlack[3]) != 0; }
};

// Four 24- or 32-bit pixels from their first bytes on: blue, green, red
// in one little-endian load of four bytes each, the fourth byte dropped
// when finished.
template <size_t BytesPerPixel>
FourPixels fourPixels(const unsigned char* p)
{
    auto word = [p](size_t i) {
        uint32_t w;
        std::memcpy(&w, p + i * BytesPerPixel, sizeof w);
        return w;
    };
    return FourPixels{word(0), word(1), word(2), word(3)};
}

// A row of 24- or 32-bit pixels, four at a time. The last pixel's load of
// four bytes may run past the very end of the file, so it is read by bytes.
template <size_t BytesPerPixel, typename Finished>
void readTrueColourRow(const unsigned char* p, int width, uint32_t* out, Finished& finish)
{
    int x = 0;
    for (; x + 4 < width; x += 4, p += 4 * BytesPerPixel) {
        const FourPixels four = finish(fourPixels<BytesPerPixel>(p));
        std::memcpy(out + x, &four, sizeof four);
    }
    for (; x + 1 < width; ++x, p += BytesPerPixel) {
        uint32_t word;
        std::memcpy(&word, p, sizeof word);
        out[x] = finish(word);
    }
    out[x] = finish(uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
}

template <BmpLayout::RowPixels As>
bool readFinishedRow(const BmpLayout& layout, const unsigned char* p, uint32_t* out)
{
    Finish<As> finish;
    switch (layout.bytesPerPixel) {
    case 1:
        for (int x = 0; x < layout.width; ++x)
            out[x] = finish(layout.palette[p[x]]);
        break;
    case 3: readTrueColourRow<3>(p, layout.width, out, finish); break;
    default: readTrueColourRow<4>(p, layout.width, out, finish); break;
    }
    return finish.keyedAny();
}

}  // namespace

std::optional<BmpLayout> bmpLayout(std::span<const unsigned char> bytes)
{
    constexpr size_t fileHeader = 14, infoHeaderMin = 40;
    if (bytes.size() < fileHeader + infoHeaderMin || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const uint32_t dataOffset = littleEndian(bytes, 10, 4);
    const uint32_t infoSize = littleEndian(bytes, 14, 4);
    const auto width = static_cast<int32_t>(littleEndian(bytes, 18, 4));
    const auto rawHeight = static_cast<int32_t>(littleEndian(bytes, 22, 4));
    const uint32_t planes = littleEndian(bytes, 26, 2), bits = littleEndian(bytes, 28, 2);
    const uint32_t compression = littleEndian(bytes, 30, 4);
    const uint32_t coloursUsed = littleEndian(bytes, 46, 4);
    constexpr uint32_t uncompressed = 0, bitFields = 3;
    constexpr int32_t maxSide = 1 << 14;
    // The info header ends where the pixels begin at the latest.
    if (infoSize < infoHeaderMin || fileHeader + size_t(infoSize) > dataOffset || planes != 1 || (bits != 8 && bits != 24 && bits != 32) ||
        !(compression == uncompressed || (compression == bitFields && bits == 32)))
        return std::nullopt;
    if (rawHeight == std::numeric_limits<int32_t>::min() || width <= 0 || width > maxSide || rawHeight == 0 ||
        std::abs(rawHeight) > maxSide)
        return std::nullopt;
    BmpLayout layout{.width = width,
                     .height = std::abs(rawHeight),
                     .topDown = rawHeight < 0,
                     .bytesPerPixel = bits / 8,
                     .dataOffset = dataOffset};
    if (bits == 8) {
        // The palette follows the header: blue, green, red and a spare byte
        // per colour, as many as the header says (none said: all 256).
        const size_t colours = coloursUsed == 0 ? 256 : coloursUsed;
        const size_t paletteAt = fileHeader + size_t(infoSize);
        if (colours > 256 || paletteAt > bytes.size() || (bytes.size() - paletteAt) / 4 < colours ||
            paletteAt + colours * 4 > dataOffset)
            return std::nullopt;
        for (size_t i = 0; i < colours; ++i)
            layout.palette[i] = littleEndian(bytes, paletteAt + 4 * i, 3);
    }
    layout.rowBytes = (size_t(width) * layout.bytesPerPixel + 3) & ~size_t{3};
    if (dataOffset > bytes.size() || (bytes.size() - dataOffset) / layout.rowBytes < size_t(layout.height))
        return std::nullopt;
    return layout;
}

bool BmpLayout::readRow(std::span<const unsigned char> bytes, int y, uint32_t* out, RowPixels as) const
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
    switch (as) {
    case RowPixels::AsStored: return readFinishedRow<RowPixels::AsStored>(*this, p, out);
    case RowPixels::Opaque: return readFinishedRow<RowPixels::Opaque>(*this, p, out);
    case RowPixels::BlackKeyed: return readFinishedRow<RowPixels::BlackKeyed>(*this, p, out);
    }
    return false;
}

std::string bmpProblem(std::span<const unsigned char> bytes)
{
    constexpr size_t headers = 14 + 40;
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return "is not a BMP file (it does not begin with 'BM')";
    if (bytes.size() < headers)
        return "is cut short: " + std::to_string(bytes.size()) + " bytes, less than a BMP's headers";
    const uint32_t bits = littleEndian(bytes, 28, 2), compression = littleEndian(bytes, 30, 4);
    if ((bits != 8 && bits != 24 && bits != 32) || compression > 3 || compression == 1 || compression == 2)
        return "is a BMP of " + std::to_string(bits) + " bits per pixel" + (compression != 0 ? ", compressed" : "") +
               "; the host draws uncompressed 8-, 24- and 32-bit BMPs";
    // The header is of a kind read: what is wrong is the size, or that the
    // pixel rows or the palette run past the end.
    return "is cut short or malformed: its header promises more than its " + std::to_string(bytes.size()) +
           " bytes hold (or sides of 1 to 16384 pixels)";
}

std::optional<DecodedBitmap> decodeBmp(std::span<const unsigned char> bytes)
{
    const std::optional<BmpLayout> layout = bmpLayout(bytes);
    if (!layout)
        return std::nullopt;
    DecodedBitmap bitmap{.width = layout->width,
                         .height = layout->height,
                         .pixels = std::vector<uint32_t>(size_t(layout->width) * layout->height)};
    for (int y = 0; y < layout->height; ++y)
        layout->readRow(bytes, y, bitmap.pixels.data() + size_t(y) * layout->width);
    return bitmap;
}

}  // namespace devhost
