// Bitmaps scaled without Cairo must come out as Cairo would scale them
// (the goldens were drawn by it), at whatever size they are prepared, and
// prepared ahead on several threads as when prepared one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "devhost/render/resampling.h"
#include "pictures.h"

namespace devhost {
namespace {

using namespace pictures;

constexpr uint32_t Black = 0x000000, White = 0xFFFFFF;

// Hard edges, stripes finer than the output's pixels, and pure black holes.
uint32_t stripedDial(int x, int y)
{
    const int dx = x - 70, dy = y - 60;
    if (dx * dx + dy * dy < 400)
        return Black;
    return (x / 3 + y / 7) % 2 ? 0xE0C040 : 0x102030 + uint32_t(x % 50) * 0x010203;
}

struct Scaling {
    Point from, to;
    ScaleFilter filter;
};

TEST(Resampling, ScalesAsCairoDoes)
{
    const Scaling cases[] = {
        {{300, 300}, {120, 120}, ScaleFilter::Good},      // a dial placed small
        {{200, 200}, {80, 80}, ScaleFilter::Good},
        {{168, 145}, {84, 73}, ScaleFilter::Good},        // a third shrunk by another ratio than the other
        {{100, 60}, {170, 90}, ScaleFilter::Good},        // grown: linear
        {{300, 330}, {150, 165}, ScaleFilter::Bilinear},  // exactly half
        {{257, 145}, {129, 73}, ScaleFilter::Bilinear},   // half of an odd size
        {{152, 152}, {150, 150}, ScaleFilter::Bilinear},
    };
    for (const Scaling& c : cases) {
        const std::string name = std::to_string(c.from.x) + "x" + std::to_string(c.from.y) + " to " +
                                 std::to_string(c.to.x) + "x" + std::to_string(c.to.y);
        SurfaceHandle picture = newImage(c.from.x, c.from.y);
        auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(picture.get()));
        const int stride = cairo_image_surface_get_stride(picture.get()) / 4;
        for (int y = 0; y < c.from.y; ++y)
            for (int x = 0; x < c.from.x; ++x)
                pixels[y * stride + x] = stripedDial(x, y) == Black ? 0 : 0xFF000000 | stripedDial(x, y);
        cairo_surface_mark_dirty(picture.get());

        SurfaceHandle cairos = newImage(c.to.x, c.to.y);
        ContextHandle cr = newContext(cairos.get());
        cairo_scale(cr.get(), double(c.to.x) / c.from.x, double(c.to.y) / c.from.y);
        cairo_set_source_surface(cr.get(), picture.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr.get()),
                                 c.filter == ScaleFilter::Good ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BILINEAR);
        cairo_pattern_set_extend(cairo_get_source(cr.get()), CAIRO_EXTEND_PAD);
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr.get());
        cr.reset();

        SurfaceHandle ours = newImage(c.to.x, c.to.y);
        scalePicture([&](int y) { return pixels + size_t(y) * stride; }, c.from, c.to, c.filter,
                     reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(ours.get())),
                     size_t(cairo_image_surface_get_stride(ours.get())) / 4);
        cairo_surface_mark_dirty(ours.get());

        // pixman rounds the good filter's products of weights one by one.
        const int allowed = c.filter == ScaleFilter::Good ? 1 : 0;
        int worst = 0;
        for (int y = 0; y < c.to.y; ++y)
            for (int x = 0; x < c.to.x; ++x) {
                const Pixel a = pixelAt(ours.get(), x, y), b = pixelAt(cairos.get(), x, y);
                worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b),
                                  std::abs(a.a - b.a)});
            }
        EXPECT_LE(worst, allowed) << name;
    }
}

// Prepared at any size, a bitmap looks as Cairo's good filter draws it:
// about half, as most are placed, included.
TEST(BitmapsPrepared, AreScaledAsCairosGoodFilterScales)
{
    constexpr Point Own{140, 120};
    BitmapSet bitmaps;
    bitmaps.add(1, makeBmp(Own.x, Own.y, stripedDial));
    SurfaceHandle original = newImage(Own.x, Own.y);
    auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(original.get()));
    const int stride = cairo_image_surface_get_stride(original.get()) / 4;
    for (int y = 0; y < Own.y; ++y)
        for (int x = 0; x < Own.x; ++x)
            pixels[y * stride + x] = 0xFF000000 | stripedDial(x, y);
    cairo_surface_mark_dirty(original.get());

    BitmapImages images(bitmaps.source());
    for (const double scale : {0.48, 0.52, 0.26, 0.7, 1.3}) {
        const PreparedBitmap made = images.get(1, false, scale, scale);
        ASSERT_TRUE(made);
        SurfaceHandle cairos = newImage(width(made.surface), height(made.surface));
        ContextHandle cr = newContext(cairos.get());
        cairo_scale(cr.get(), made.scaleX, made.scaleY);
        cairo_set_source_surface(cr.get(), original.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_GOOD);
        cairo_pattern_set_extend(cairo_get_source(cr.get()), CAIRO_EXTEND_PAD);
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr.get());
        cr.reset();
        int worst = 0;
        for (int y = 0; y < height(cairos.get()); ++y)
            for (int x = 0; x < width(cairos.get()); ++x) {
                const Pixel a = pixelAt(made.surface, x, y), b = pixelAt(cairos.get(), x, y);
                worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            }
        EXPECT_LE(worst, 1) << "at " << scale;
    }
}

TEST(BitmapsPreparedAhead, AreThoseThatGetPrepares)
{
    BitmapSet bitmaps;
    bitmaps.add(1, makeBmp(140, 120, stripedDial));
    bitmaps.add(2, filledBmp(64, 32, White));
    struct Asked {
        int32_t bitmap;
        bool keyed;
        double scale;
    };
    const std::vector<Asked> asked = {{1, true, 0.4}, {1, true, 0.5}, {1, false, 0.5}, {1, true, 1.0},
                                      {2, true, 0.45}, {2, false, 1.3}, {1, true, 0.4}};
    BitmapImages ahead(bitmaps.source()), lazily(bitmaps.source());
    ahead.prepareAhead([&] {
        for (const Asked& a : asked)
            EXPECT_FALSE(ahead.get(a.bitmap, a.keyed, a.scale, a.scale)) << "noted, not yet prepared";
    });
    for (const Asked& a : asked) {
        const PreparedBitmap made = ahead.get(a.bitmap, a.keyed, a.scale, a.scale);
        const PreparedBitmap expected = lazily.get(a.bitmap, a.keyed, a.scale, a.scale);
        ASSERT_TRUE(made && expected);
        const std::string name = std::to_string(a.bitmap) + " at " + std::to_string(a.scale);
        EXPECT_EQ(cairo_image_surface_get_format(made.surface), cairo_image_surface_get_format(expected.surface))
            << name;
        ASSERT_EQ(width(made.surface), width(expected.surface)) << name;
        ASSERT_EQ(height(made.surface), height(expected.surface)) << name;
        EXPECT_EQ(std::tie(made.inked.x, made.inked.y, made.inked.width, made.inked.height),
                  std::tie(expected.inked.x, expected.inked.y, expected.inked.width, expected.inked.height))
            << name;
        int differing = 0;
        for (int y = 0; y < height(made.surface); ++y)
            for (int x = 0; x < width(made.surface); ++x) {
                const Pixel p = pixelAt(made.surface, x, y), q = pixelAt(expected.surface, x, y);
                differing += std::tie(p.r, p.g, p.b, p.a) != std::tie(q.r, q.g, q.b, q.a);
            }
        EXPECT_EQ(differing, 0) << name;
    }
}

}  // namespace
}  // namespace devhost
