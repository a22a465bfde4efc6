#include "devhost/serve/tile_encoding.h"

#include "devhost/render/png_writer.h"

namespace devhost {

std::string encodePng(cairo_surface_t* surface, Box area, int level)
{
    return pngBytes(surface, area, {.level = level, .keepAlpha = false, .quickFilter = level <= FastPngLevel});
}

std::string base64(std::string_view bytes)
{
    static constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t n = uint32_t(uint8_t(bytes[i])) << 16 | uint32_t(uint8_t(bytes[i + 1])) << 8 | uint8_t(bytes[i + 2]);
        for (int shift : {18, 12, 6, 0})
            out += alphabet[(n >> shift) & 63];
    }
    if (const size_t left = bytes.size() - i) {
        uint32_t n = uint32_t(uint8_t(bytes[i])) << 16;
        if (left == 2)
            n |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        out += alphabet[(n >> 18) & 63];
        out += alphabet[(n >> 12) & 63];
        out += left == 2 ? alphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

}  // namespace devhost
