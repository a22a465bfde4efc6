// Small pictures for the renderer's tests: BMP files made on the spot, and
// reading pixels back from what was drawn.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <vector>

#include "devhost/render/bitmap_images.h"

namespace devhost::pictures {

// A 24-bit bottom-up BMP, each pixel 0xRRGGBB from colour(x, y).
inline std::vector<unsigned char> makeBmp(int width, int height, const std::function<uint32_t(int, int)>& colour)
{
    const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t{3};
    const size_t size = 54 + rowBytes * height;
    std::vector<unsigned char> bmp(size, 0);
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, uint32_t(size), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, uint32_t(width), 4);
    put(22, uint32_t(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            const size_t at = 54 + size_t(height - 1 - y) * rowBytes + size_t(x) * 3;
            bmp[at] = c & 0xFF;
            bmp[at + 1] = c >> 8 & 0xFF;
            bmp[at + 2] = c >> 16 & 0xFF;
        }
    return bmp;
}

inline std::vector<unsigned char> filledBmp(int width, int height, uint32_t colour)
{
    return makeBmp(width, height, [=](int, int) { return colour; });
}

// Bitmaps by number, for BitmapImages.
class BitmapSet {
public:
    void add(int32_t number, std::vector<unsigned char> bmp) { files_[number] = std::move(bmp); }
    BitmapSource source() const
    {
        return [this](int32_t number) -> std::span<const unsigned char> {
            auto it = files_.find(number);
            return it == files_.end() ? std::span<const unsigned char>() : std::span<const unsigned char>(it->second);
        };
    }

private:
    std::map<int32_t, std::vector<unsigned char>> files_;
};

// A drawn pixel, premultiplied as Cairo keeps it.
struct Pixel {
    int r = 0, g = 0, b = 0, a = 0;
};

inline Pixel pixelAt(cairo_surface_t* surface, int x, int y)
{
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const uint32_t p = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride)[x];
    const bool opaque = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24;
    return {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF), opaque ? 255 : int(p >> 24)};
}

inline int width(cairo_surface_t* s) { return cairo_image_surface_get_width(s); }
inline int height(cairo_surface_t* s) { return cairo_image_surface_get_height(s); }

}  // namespace devhost::pictures
