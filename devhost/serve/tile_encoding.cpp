#include "devhost/serve/tile_encoding.h"

#include <png.h>

#include <stdexcept>
#include <vector>

namespace devhost {

namespace {

void appendToString(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void noFlush(png_structp) {}

[[noreturn]] void raise(png_structp, png_const_charp message) { throw std::runtime_error(message); }

void ignoreWarning(png_structp, png_const_charp) {}

}  // namespace

std::string encodePng(cairo_surface_t* surface, Box area, int level)
{
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    if (area.x < 0 || area.y < 0 || area.width <= 0 || area.height <= 0 || area.x + area.width > width ||
        area.y + area.height > height)
        throw std::out_of_range("tile outside its picture");
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* pixels = cairo_image_surface_get_data(surface);

    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, raise, ignoreWarning);
    png_infop info = png_create_info_struct(png);
    // The rows are converted one at a time from Cairo's native-endian 0xXXRRGGBB.
    std::vector<png_byte> row(size_t(area.width) * 3);
    try {
        png_set_write_fn(png, &out, appendToString, noFlush);
        png_set_compression_level(png, level);
        png_set_IHDR(png, info, area.width, area.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (level <= FastPngLevel)
            png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_write_info(png, info);
        for (int y = 0; y < area.height; ++y) {
            const auto* source = reinterpret_cast<const uint32_t*>(pixels + size_t(area.y + y) * stride) + area.x;
            for (int x = 0; x < area.width; ++x) {
                const uint32_t p = source[x];
                row[3 * x] = png_byte(p >> 16);
                row[3 * x + 1] = png_byte(p >> 8);
                row[3 * x + 2] = png_byte(p);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    } catch (...) {
        png_destroy_write_struct(&png, &info);
        throw;
    }
    png_destroy_write_struct(&png, &info);
    return out;
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
