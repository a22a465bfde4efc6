// The ADF receiver's window text as drawn: grey figures, centred in their
// box under the scale window's top edge, and nothing in the other box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "devhost/core/host.h"
#include "devhost/render/gauge_painter.h"
#include "pictures.h"

namespace devhost {
namespace {

using namespace pictures;

constexpr Box UpperTextBox = {255, 20, 102, 27};
constexpr Box LowerTextBox = {255, 55, 102, 27};
constexpr int TextGrey = 0x8C;
constexpr int GreyTolerance = 24;

struct Ink {
    int pixels = 0;
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

// The pixels of the text's grey within a box of the picture.
Ink greyInk(cairo_surface_t* picture, Box box)
{
    Ink ink;
    for (int y = box.y; y < box.y + box.height; ++y)
        for (int x = box.x; x < box.x + box.width; ++x) {
            Pixel p = pixelAt(picture, x, y);
            bool grey = std::abs(p.r - TextGrey) < GreyTolerance && std::abs(p.g - TextGrey) < GreyTolerance &&
                        std::abs(p.b - TextGrey) < GreyTolerance;
            if (!grey)
                continue;
            ++ink.pixels;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

TEST(AdfWindowText, TheFrequencyIsDrawnInGreyCentredInTheUpperBox)
{
    Host host(moduleUnderTest());
    GaugeInstance& radio = host.place("Radio_ADF_EZ6");  // the host at 345.0 kHz, band 1
    ASSERT_TRUE(host.clickGaugePixel(radio, {535, 420}).handled);  // main switch on
    host.frame();
    ASSERT_EQ(host.probe(radio).elements[4].text, "0345.0");

    BitmapImages images(host.bitmaps());
    SurfaceHandle picture = renderGauge(radio, images, {1.0, 1.0});
    Ink upper = greyInk(picture.get(), UpperTextBox);
    ASSERT_GT(upper.pixels, 40) << "six figures of text";
    EXPECT_NEAR((upper.left + upper.right) / 2.0, UpperTextBox.x + UpperTextBox.width / 2.0, 4);
    EXPECT_NEAR((upper.top + upper.bottom) / 2.0, UpperTextBox.y + UpperTextBox.height / 2.0, 4);
    EXPECT_GT(upper.right - upper.left, 30) << "wide as six figures";
    EXPECT_LT(upper.right - upper.left, UpperTextBox.width);
    EXPECT_LT(greyInk(picture.get(), LowerTextBox).pixels, upper.pixels / 4) << "the band-3 text is hidden";
}

}  // namespace
}  // namespace devhost
