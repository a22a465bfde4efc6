// PNG through libpng rather than Cairo's writer, which always compresses at
// zlib's default level: for a picture looked at once, that is most of the
// time a render takes, and the live panel's tiles want the quickest level.
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <stdexcept>
#include <string>
#include <vector>

#include "devhost/core/file_writer.h"
#include "devhost/render/png_writer.h"

namespace devhost {
namespace {

constexpr int BytesPerPixel = 4;

// libpng reports errors by longjmp back into pngBytes's frame; the message
// is kept for the exception thrown from there.
void onPngError(png_structp png, png_const_charp message)
{
    *static_cast<std::string*>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// One row as PNG wants it: Cairo's native-endian 32-bit pixels (alpha
// premultiplied, for ARGB32) as RGB or straight-alpha RGBA bytes, rounded as
// Cairo's own writer rounds them.
void convertRow(const unsigned char* from, int width, bool alpha, unsigned char* to)
{
    const auto* pixels = reinterpret_cast<const uint32_t*>(from);
    for (int x = 0; x < width; ++x) {
        const uint32_t pixel = alpha ? straightArgb(pixels[x]) : pixels[x];
        *to++ = static_cast<unsigned char>(pixel >> 16);
        *to++ = static_cast<unsigned char>(pixel >> 8);
        *to++ = static_cast<unsigned char>(pixel);
        if (alpha)
            *to++ = static_cast<unsigned char>(pixel >> 24);
    }
}

void appendToString(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void noFlush(png_structp) {}

}  // namespace

void checkPngSource(cairo_surface_t* surface, Box area)
{
    // A surface Cairo could not make (too large, out of memory) would come
    // out as an empty picture, and the caller would think it drawn.
    const cairo_status_t status = cairo_surface_status(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(std::string("cannot draw it: ") + cairo_status_to_string(status));
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)
        throw std::runtime_error("not a 32-bit picture");
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    if (area.x < 0 || area.y < 0 || area.width <= 0 || area.height <= 0 || area.x + area.width > width ||
        area.y + area.height > height)
        throw std::out_of_range("the area lies outside its picture");
}

std::string pngBytes(cairo_surface_t* surface, Box area, PngEncoding encoding)
{
    checkPngSource(surface, area);
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const bool alpha = encoding.keepAlpha && format == CAIRO_FORMAT_ARGB32;

    std::string out, error;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, onPngError, onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("out of memory");
    }
    std::vector<unsigned char> row(size_t(area.width) * BytesPerPixel);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error(error);
    }
    png_set_write_fn(png, &out, appendToString, noFlush);
    png_set_compression_level(png, encoding.level);
    png_set_IHDR(png, info, png_uint_32(area.width), png_uint_32(area.height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (encoding.quickFilter)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    for (int y = 0; y < area.height; ++y) {
        const unsigned char* from = data + size_t(area.y + y) * size_t(stride) + size_t(area.x) * BytesPerPixel;
        convertRow(from, area.width, alpha, row.data());
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

void writePng(cairo_surface_t* surface, const std::filesystem::path& path, PngCompression compression)
{
    std::string bytes;
    try {
        const Box whole{0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)};
        const bool fast = compression == PngCompression::Fast;
        bytes = pngBytes(surface, whole, {.level = fast ? Z_BEST_SPEED : Z_BEST_COMPRESSION, .quickFilter = fast});
    } catch (const std::exception& e) {
        throw std::runtime_error("cannot write " + path.string() + ": " + e.what());
    }
    writeFileWhole(path, bytes);
}

}  // namespace devhost
