#include "tools/assetgen/canvas.h"

#include <algorithm>

#include "tools/assetgen/bytes.h"

namespace assetgen {

namespace {

// The darkest colour a visible pixel may have.
constexpr uint8_t NearBlack = 6;

}  // namespace

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_))
{
}

Canvas::~Canvas()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

std::vector<uint8_t> Canvas::bmp() const
{
    cairo_surface_flush(surface_);
    const unsigned char* pixels = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    int rowBytes = (width_ * 3 + 3) & ~3;
    auto imageBytes = static_cast<uint32_t>(rowBytes * height_);

    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    ByteWriter w(out);
    // BITMAPFILEHEADER
    w.u8('B');
    w.u8('M');
    w.u32(54 + imageBytes);
    w.u32(0);
    w.u32(54);
    // BITMAPINFOHEADER: bottom-up rows, 24 bits, no compression, 72 dpi.
    w.u32(40);
    w.u32(static_cast<uint32_t>(width_));
    w.u32(static_cast<uint32_t>(height_));
    w.u16(1);
    w.u16(24);
    w.u32(0);
    w.u32(imageBytes);
    w.u32(2835);
    w.u32(2835);
    w.u32(0);
    w.u32(0);

    for (int y = height_ - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const uint32_t*>(pixels + y * stride);
        for (int x = 0; x < width_; ++x) {
            uint32_t p = row[x];
            uint32_t a = p >> 24;
            uint8_t rgb[3] = {0, 0, 0};
            if (a >= 128) {
                // Cairo keeps colours premultiplied; take the pixel's own colour back.
                for (int c = 0; c < 3; ++c) {
                    uint32_t premultiplied = (p >> (16 - 8 * c)) & 0xFF;
                    rgb[c] = static_cast<uint8_t>(std::min<uint32_t>(255, (premultiplied * 255 + a / 2) / a));
                }
                if (std::max({rgb[0], rgb[1], rgb[2]}) < NearBlack)
                    rgb[0] = rgb[1] = rgb[2] = NearBlack;
            }
            w.u8(rgb[2]);
            w.u8(rgb[1]);
            w.u8(rgb[0]);
        }
        for (int pad = width_ * 3; pad < rowBytes; ++pad)
            w.u8(0);
    }
    return out;
}

}  // namespace assetgen
