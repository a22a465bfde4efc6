// The renderer's own turned blit against Cairo's bilinear drawing of the
// same bitmap by the same matrix: where either puts colour, and how much,
// may differ only by the rounding of a level or two.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "devhost/render/cairo_handles.h"
#include "devhost/render/turned_blit.h"

namespace devhost {
namespace {

// A needle-like bitmap: an opaque bar with a soft edge, in a clear border.
SurfaceHandle needleBitmap()
{
    SurfaceHandle bitmap = newImage(40, 9);
    ContextHandle cr = newContext(bitmap.get());
    cairo_set_source_rgba(cr.get(), 0.9, 0.8, 0.2, 1.0);
    cairo_rectangle(cr.get(), 3, 2.5, 34, 4);
    cairo_fill(cr.get());
    cairo_surface_flush(bitmap.get());
    return bitmap;
}

// A busy opaque picture to draw on.
SurfaceHandle groundPicture()
{
    SurfaceHandle ground = uninitialisedImage(CAIRO_FORMAT_RGB24, 64, 48);
    unsigned char* data = cairo_image_surface_get_data(ground.get());
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            reinterpret_cast<uint32_t*>(data + y * cairo_image_surface_get_stride(ground.get()))[x] =
                uint32_t(x * 4) << 16 | uint32_t(y * 5) << 8 | uint32_t((x * y) & 0xFF);
    cairo_surface_mark_dirty(ground.get());
    return ground;
}

int largestDifference(cairo_surface_t* a, cairo_surface_t* b, const Box& clip)
{
    int largest = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const auto at = [&](cairo_surface_t* s) {
                return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) +
                                                         y * cairo_image_surface_get_stride(s))[x];
            };
            const bool inside = x >= clip.x && x < clip.x + clip.width && y >= clip.y && y < clip.y + clip.height;
            for (int shift : {0, 8, 16}) {
                const int d = std::abs(int(at(a) >> shift & 0xFF) - int(at(b) >> shift & 0xFF));
                largest = std::max(largest, inside ? d : d == 0 ? 0 : 255);
            }
        }
    return largest;
}

TEST(TurnedBlit, DrawsWhatCairoDrawsBilinearlyWithinTheClip)
{
    SurfaceHandle needle = needleBitmap();
    const ImagePixels source = pixelsOf(needle.get());
    const Box inked{3, 2, 34, 5};
    const Box clip{6, 4, 50, 40};
    for (double degrees : {0.0, 17.0, 90.0, 133.5, 251.0}) {
        cairo_matrix_t toTarget;
        cairo_matrix_init_translate(&toTarget, 31.25, 23.5);
        cairo_matrix_rotate(&toTarget, degrees * std::numbers::pi / 180);
        cairo_matrix_translate(&toTarget, -4.5, -4.5);

        SurfaceHandle byCairo = groundPicture(), byBlit = groundPicture();
        ContextHandle cr = newContext(byCairo.get());
        cairo_rectangle(cr.get(), clip.x, clip.y, clip.width, clip.height);
        cairo_clip(cr.get());
        cairo_transform(cr.get(), &toTarget);
        cairo_set_source_surface(cr.get(), needle.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_BILINEAR);
        cairo_paint(cr.get());
        cairo_surface_flush(byCairo.get());

        cairo_matrix_t toSource = toTarget;
        cairo_matrix_invert(&toSource);
        drawTurned(pixelsOf(byBlit.get()), clip, source, inked, toSource);

        EXPECT_LE(largestDifference(byCairo.get(), byBlit.get(), clip), 2) << "turned by " << degrees;
    }
}

}  // namespace
}  // namespace devhost
