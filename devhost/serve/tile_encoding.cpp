// The tiles' PNG is written here rather than by libpng: libpng compresses
// through zlib, whose quickest level took most of a click's time to reach
// the pages; libdeflate's is about twice as fast at the same size. The
// rows go unfiltered: on the panel's textured art a filter saves nothing
// at this level (the filtered rows came out larger) and costs a pass.
#include "devhost/serve/tile_encoding.h"

#include <libdeflate.h>

#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "devhost/render/png_writer.h"

namespace devhost {

namespace {

constexpr std::string_view Signature{"\x89PNG\r\n\x1a\n", 8};
constexpr size_t ChunkFraming = 12;   // length, type, CRC
constexpr size_t HeaderBytes = 13;
constexpr int BytesPerPixel = 3;

struct CompressorRelease {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

void putNumber(char* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = char(value >> (24 - 8 * i));
}

// Closes the chunk whose type starts at `type` (its length already in
// place before it) with the CRC of its type and data.
void endChunk(std::string& png, size_t type)
{
    const uint32_t crc = libdeflate_crc32(0, png.data() + type, png.size() - type);
    png.resize(png.size() + 4);
    putNumber(png.data() + png.size() - 4, crc);
}

void beginChunk(std::string& png, std::string_view type, size_t length)
{
    png.resize(png.size() + 4);
    putNumber(png.data() + png.size() - 4, uint32_t(length));
    png += type;
}

}  // namespace

std::string encodePng(cairo_surface_t* surface, Box area, int level)
{
    checkPngSource(surface, area);

    // Each row: filter type 0 (none), then the pixels as R, G, B.
    const size_t rowBytes = 1 + size_t(area.width) * BytesPerPixel;
    std::vector<unsigned char> rows(rowBytes * size_t(area.height));
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < area.height; ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(data + size_t(area.y + y) * size_t(stride)) + area.x;
        unsigned char* to = rows.data() + size_t(y) * rowBytes;
        *to++ = 0;
        for (int x = 0; x < area.width; ++x, to += BytesPerPixel) {
            to[0] = static_cast<unsigned char>(from[x] >> 16);
            to[1] = static_cast<unsigned char>(from[x] >> 8);
            to[2] = static_cast<unsigned char>(from[x]);
        }
    }

    const std::unique_ptr<libdeflate_compressor, CompressorRelease> compressor(libdeflate_alloc_compressor(level));
    if (!compressor)
        throw std::runtime_error("out of memory");
    const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), rows.size());
    std::string png(Signature);
    png.reserve(Signature.size() + 3 * ChunkFraming + HeaderBytes + bound);

    beginChunk(png, "IHDR", HeaderBytes);
    const size_t header = png.size() - 4;
    png.resize(png.size() + HeaderBytes);
    putNumber(png.data() + header + 4, uint32_t(area.width));
    putNumber(png.data() + header + 8, uint32_t(area.height));
    png[header + 12] = 8;   // bits per channel
    png[header + 13] = 2;   // RGB; the compression, filter and interlace methods stay 0
    endChunk(png, header);

    beginChunk(png, "IDAT", 0);
    const size_t idat = png.size() - 4;
    png.resize(png.size() + bound);
    const size_t compressed = libdeflate_zlib_compress(compressor.get(), rows.data(), rows.size(), png.data() + idat + 4, bound);
    if (compressed == 0)
        throw std::runtime_error("the picture did not fit its compression bound");
    png.resize(idat + 4 + compressed);
    putNumber(png.data() + idat - 4, uint32_t(compressed));
    endChunk(png, idat);

    beginChunk(png, "IEND", 0);
    endChunk(png, png.size() - 4);
    return png;
}

}  // namespace devhost
