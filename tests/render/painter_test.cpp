// How the renderer draws each kind of element, on small gauges made for the
// purpose with pictures whose every pixel is known.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "devhost/render/gauge_painter.h"
#include "pictures.h"

namespace devhost {
namespace {

using namespace pictures;

constexpr uint32_t White = 0xFFFFFF, Grey = 0x808080, Red = 0xFF0000, Blue = 0x0000FF, Black = 0x000000;
constexpr uint32_t Shown = ImageTransparent;

// A gauge of up to four elements chained each under the one before, as the
// module's gauges are, with its face 40x40 at bitmap 1.
struct Chain {
    std::vector<GaugeElement*> elements;
    std::vector<std::array<GaugeElement*, 2>> children;
    GaugeElement* roots[2] = {};
    GaugeDefinition definition{.version = GaugeVersion, .name = "Test"};

    GaugeInstance place(Point size = {40, 40}, Point own = {40, 40})
    {
        children.resize(elements.size());
        for (size_t i = 0; i < elements.size(); ++i) {
            children[i] = {i + 1 < elements.size() ? elements[i + 1] : nullptr, nullptr};
            elements[i]->children = i + 1 < elements.size() ? children[i].data() : nullptr;
        }
        roots[0] = elements.front();
        definition.elements = roots;
        return GaugeInstance(definition, Placement{.size = size, .gaugePixels = own});
    }
};

StaticImageElement image(int32_t bitmap, Point position = {0, 0}, uint32_t flags = Shown)
{
    return {.common = {.kind = StaticImage, .bitmap = bitmap, .position = position, .imageFlags = flags}};
}

// The face with one element over it.
GaugeInstance onFace(GaugeElement& element)
{
    auto face = image(1);
    Chain chain{.elements = {&face.common, &element}};
    return chain.place();
}

ElementSnapshot& shown(GaugeInstance& gauge, size_t index) { return gauge.elements().at(index).shown; }

class Painting : public testing::Test {
protected:
    Painting()
    {
        bitmaps.add(1, filledBmp(40, 40, Grey));
    }
    SurfaceHandle draw(const GaugeInstance& gauge, GaugeScale scale = {})
    {
        BitmapImages images(bitmaps.source());
        return renderGauge(gauge, images, scale);
    }
    BitmapSet bitmaps;
};

TEST_F(Painting, PureBlackIsTransparentOnlyForElementsThatAskForIt)
{
    // Left half pure black, right half near-black.
    bitmaps.add(2, makeBmp(10, 10, [](int x, int) { return x < 5 ? Black : 0x010101; }));
    auto face = image(1), keyed = image(2, {0, 0}), plain = image(2, {20, 0}, 0);
    Chain chain{.elements = {&face.common, &keyed.common, &plain.common}};
    GaugeInstance gauge = chain.place();
    SurfaceHandle picture = draw(gauge);
    EXPECT_EQ(pixelAt(picture.get(), 2, 2).r, 0x80) << "the face shows through pure black";
    EXPECT_EQ(pixelAt(picture.get(), 7, 2).r, 1) << "near-black is a colour";
    EXPECT_EQ(pixelAt(picture.get(), 22, 2).r, 0) << "without the transparency flag black is painted";
    EXPECT_EQ(pixelAt(picture.get(), 22, 2).a, 255);
}

TEST_F(Painting, ChildrenLieOverParentsAndHiddenElementsAloneAreSkipped)
{
    bitmaps.add(2, filledBmp(10, 10, Red));
    bitmaps.add(3, filledBmp(10, 10, Blue));
    auto face = image(1), red = image(2, {5, 5}, Shown | ImageHidden), blue = image(3, {10, 10});
    Chain chain{.elements = {&face.common, &red.common, &blue.common}};
    GaugeInstance gauge = chain.place();
    SurfaceHandle picture = draw(gauge);
    EXPECT_EQ(pixelAt(picture.get(), 7, 7).r, 0x80) << "the hidden red square is not drawn";
    EXPECT_EQ(pixelAt(picture.get(), 12, 12).b, 0xFF) << "its child still is";
}

TEST_F(Painting, AnIconDrawsTheBitmapOfItsFrameAndNothingWithoutOne)
{
    bitmaps.add(10, filledBmp(10, 10, Red));
    bitmaps.add(11, filledBmp(10, 10, Blue));
    IconElement icon{.common = {.kind = Icon, .bitmap = 10, .position = {5, 5}, .imageFlags = Shown}, .frames = 2};
    GaugeInstance gauge = onFace(icon.common);
    shown(gauge, 1).frame = 1;
    EXPECT_EQ(pixelAt(draw(gauge).get(), 7, 7).b, 0xFF) << "frame 1 is bitmap 11";
    shown(gauge, 1).frame.reset();
    EXPECT_EQ(pixelAt(draw(gauge).get(), 7, 7).r, 0x80) << "no frame, no icon";
}

TEST_F(Painting, ANeedleTurnsClockwiseAboutItsHub)
{
    // A 15x3 white needle pointing to +x with its hub at its left end.
    bitmaps.add(5, filledBmp(15, 3, White));
    NeedleElement needle{.common = {.kind = Needle, .bitmap = 5, .position = {20, 20}, .offset = {0, 1},
                                    .imageFlags = Shown}};
    GaugeInstance gauge = onFace(needle.common);
    shown(gauge, 1).angle = 90;
    SurfaceHandle picture = draw(gauge);
    EXPECT_EQ(pixelAt(picture.get(), 20, 32).r, 0xFF) << "at 90 degrees the needle points down";
    EXPECT_EQ(pixelAt(picture.get(), 32, 20).r, 0x80);
    shown(gauge, 1).angle = 180;
    picture = draw(gauge);
    EXPECT_EQ(pixelAt(picture.get(), 8, 20).r, 0xFF) << "at 180 to the left";
}

// A 21x21 disc texture with a red mark at its top, seen through an open
// 21x21 window whose centre lies on (20,20).
struct DiscGauge {
    StaticImageElement face = image(1);
    SpriteElement disc{.common = {.kind = Sprite, .bitmap = 20, .position = {10, 10}, .offset = {20, 20},
                                  .imageFlags = Shown},
                       .textureScaleX = 1.0f,
                       .textureScaleY = 1.0f};
    Chain chain{.elements = {&face.common, &disc.common}};
};

void addDisc(BitmapSet& bitmaps)
{
    bitmaps.add(20, makeBmp(21, 21, [](int x, int y) { return (x >= 9 && x <= 11 && y < 6) ? Red : White; }));
    bitmaps.add(21, filledBmp(21, 21, Black));
}

TEST_F(Painting, ASpriteTurnsCounterClockwiseForAPositiveRotation)
{
    addDisc(bitmaps);
    DiscGauge disc;
    GaugeInstance gauge = disc.chain.place();
    EXPECT_EQ(pixelAt(draw(gauge).get(), 20, 12).g, 0) << "unturned, the mark stands at the top";
    shown(gauge, 1).rotation = 90;
    SurfaceHandle picture = draw(gauge);
    EXPECT_EQ(pixelAt(picture.get(), 12, 20).g, 0) << "turned +90, the mark stands at the left";
    EXPECT_EQ(pixelAt(picture.get(), 28, 20).g, 0xFF);
}

TEST_F(Painting, ASpriteIsSeenOnlyThroughTheOpenPartOfItsWindow)
{
    addDisc(bitmaps);
    // The window: a grey frame 5 pixels wide around an open middle.
    bitmaps.add(21, makeBmp(21, 21, [](int x, int y) { return x >= 5 && x < 16 && y >= 5 && y < 16 ? Black : Grey; }));
    DiscGauge disc;
    GaugeInstance gauge = disc.chain.place();
    shown(gauge, 1).rotation = 45;  // the texture's corners reach out beyond the window
    SurfaceHandle picture = draw(gauge);
    EXPECT_EQ(pixelAt(picture.get(), 20, 20).b, 0xFF) << "the texture in the open middle";
    EXPECT_EQ(pixelAt(picture.get(), 12, 20).b, 0x80) << "the window's frame over it";
    EXPECT_EQ(pixelAt(picture.get(), 20, 8).b, 0x80) << "outside the window the face, not the texture";
}

TEST_F(Painting, ASpriteMovesAlongItsOwnAxesBeforeItTurns)
{
    addDisc(bitmaps);
    DiscGauge disc;
    GaugeInstance gauge = disc.chain.place();
    shown(gauge, 1).yOffset = 6;  // the texture down 6 pixels: the mark from y 10..15 to 16..21
    EXPECT_EQ(pixelAt(draw(gauge).get(), 20, 18).g, 0);
    shown(gauge, 1).rotation = 180;  // turned half round, down becomes up: mark at the bottom, moved up
    EXPECT_EQ(pixelAt(draw(gauge).get(), 20, 22).g, 0);
}

TEST_F(Painting, TheRadiosMhzDiscShowsItsRimThroughItsWindowAndBringsTheNextNumberByTurningBack)
{
    // The COM radio's arrangement: a 336x336 disc turning about (178,178)
    // of a 350x360 face, seen through a 45x24 window at (158,10). The disc
    // carries a red mark at the top of its rim and a blue one 9 degrees
    // clockwise from it, where the next MHz stands.
    bitmaps.add(1, filledBmp(350, 360, Grey));
    bitmaps.add(2240, makeBmp(336, 336, [](int x, int y) {
                    const double dx = x + 0.5 - 168, dy = y + 0.5 - 168;
                    const double r = std::hypot(dx, dy), deg = std::atan2(dx, -dy) * 180 / 3.14159265358979;
                    if (r < 150 || r > 166)
                        return White;
                    return std::abs(deg) < 1.5 ? Red : std::abs(deg - 9) < 1.5 ? Blue : White;
                }));
    bitmaps.add(2241, filledBmp(45, 24, Black));
    auto face = image(1);
    SpriteElement disc{.common = {.kind = Sprite, .bitmap = 2240, .position = {158, 10}, .offset = {178, 178},
                                  .imageFlags = 0x83},
                       .rotationScale = 9.0,
                       .textureScaleX = 1.0f,
                       .textureScaleY = 1.0f};
    Chain chain{.elements = {&face.common, &disc.common}};
    GaugeInstance gauge = chain.place({350, 360}, {350, 360});
    SurfaceHandle at118 = draw(gauge);
    EXPECT_EQ(pixelAt(at118.get(), 178, 20).r, 0xFF) << "the rim's top mark under the window's middle";
    EXPECT_EQ(pixelAt(at118.get(), 178, 20).b, 0);
    EXPECT_EQ(pixelAt(at118.get(), 178, 40).r, 0x80) << "below the window the face";
    shown(gauge, 1).rotation = 9;  // one MHz up
    SurfaceHandle at119 = draw(gauge);
    EXPECT_EQ(pixelAt(at119.get(), 178, 20).b, 0xFF) << "the next number has come under the index";
}

TEST_F(Painting, AnElementMovedFarOffTheGaugeSpoilsNothingDrawnAfterIt)
{
    addDisc(bitmaps);
    bitmaps.add(2, filledBmp(10, 10, Blue));
    DiscGauge disc;
    auto cover = image(2, {0, 0});
    disc.chain.elements.push_back(&cover.common);
    GaugeInstance gauge = disc.chain.place();
    shown(gauge, 1).xOffset = 1e300;
    shown(gauge, 1).rotation = 1e300;
    SurfaceHandle picture = draw(gauge);
    EXPECT_EQ(cairo_surface_status(picture.get()), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(pixelAt(picture.get(), 5, 5).b, 0xFF) << "the element after it is still drawn";
}

TEST_F(Painting, AMovingImageShowsTheStripAtItsOffsetThroughTheWindow)
{
    // A strip whose column x has red = x; a 10x10 open window at (5,5).
    bitmaps.add(30, makeBmp(100, 10, [](int x, int) { return uint32_t(x + 1) << 16; }));
    bitmaps.add(31, filledBmp(10, 10, Black));
    MovingImageElement tape{.common = {.kind = MovingImage, .bitmap = 30, .position = {5, 5}, .imageFlags = Shown}};
    GaugeInstance gauge = onFace(tape.common);
    shown(gauge, 1).xOffset = 30;
    SurfaceHandle picture = draw(gauge);
    EXPECT_EQ(pixelAt(picture.get(), 5, 7).r, 31) << "the window's left edge looks at column 30";
    EXPECT_EQ(pixelAt(picture.get(), 14, 7).r, 40);
    EXPECT_EQ(pixelAt(picture.get(), 15, 7).r, 0x80) << "nothing of the strip beyond the window";
}

TEST_F(Painting, ASliderMovesByItsOffsets)
{
    bitmaps.add(40, filledBmp(4, 4, Red));
    SliderElement ball{.common = {.kind = Slider, .bitmap = 40, .position = {10, 10}, .imageFlags = Shown}};
    GaugeInstance gauge = onFace(ball.common);
    shown(gauge, 1).xOffset = 8;
    shown(gauge, 1).yOffset = -5;
    SurfaceHandle picture = draw(gauge);
    EXPECT_EQ(pixelAt(picture.get(), 19, 6).g, 0);
    EXPECT_EQ(pixelAt(picture.get(), 11, 11).g, 0x80);
}

TEST_F(Painting, AStringIsCentredInItsBoxInItsColour)
{
    StringElement text{.common = {.kind = String, .bitmap = -1, .position = {0, 10}, .imageFlags = 0x7},
                       .box = {40, 20},
                       .textColour = 0x0000FF,  // red, as 0x00BBGGRR
                       .fontFace = "Arial",
                       .fontWeight = 400,
                       .drawFlags = 37,
                       .characters = 6};
    GaugeInstance gauge = onFace(text.common);
    std::strcpy(reinterpret_cast<StringElement*>(gauge.elements()[1].element)->text, "II");
    SurfaceHandle picture = draw(gauge);
    int left = 40, right = -1, top = 40, bottom = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (Pixel p = pixelAt(picture.get(), x, y); p.r > 0xC0 && p.g < 0x60) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "red text drawn";
    EXPECT_NEAR((left + right + 1) / 2.0, 20.0, 1.5) << "centred across";
    EXPECT_GE(top, 10);
    EXPECT_LE(bottom, 29) << "within the box";
    EXPECT_NEAR((top + bottom + 1) / 2.0, 20.0, 3.0) << "and about centred down, capitals over the baseline";
}

TEST_F(Painting, AGaugeIsDrawnAtItsPlacedSize)
{
    bitmaps.add(2, filledBmp(10, 10, Red));
    auto face = image(1), square = image(2, {20, 20});
    Chain chain{.elements = {&face.common, &square.common}};
    GaugeInstance gauge = chain.place({20, 20});
    SurfaceHandle picture = draw(gauge, placedScale(gauge));
    ASSERT_EQ(width(picture.get()), 20);
    EXPECT_EQ(pixelAt(picture.get(), 12, 12).g, 0) << "the square at half its place and size";
    EXPECT_EQ(pixelAt(picture.get(), 9, 9).r, 0x80);
}

TEST_F(Painting, AMissingBitmapDrawsNothingAndIsReported)
{
    auto face = image(1), lost = image(99, {5, 5});
    Chain chain{.elements = {&face.common, &lost.common}};
    GaugeInstance gauge = chain.place();
    BitmapImages images(bitmaps.source());
    SurfaceHandle picture = renderGauge(gauge, images, {});
    EXPECT_EQ(pixelAt(picture.get(), 7, 7).r, 0x80);
    EXPECT_EQ(images.missing(), (std::set<int32_t>{99}));
}

TEST(GaugeDisplays, DifferOnlyWhenThePictureWould)
{
    NeedleElement needle{.common = {.kind = Needle, .bitmap = 5, .imageFlags = Shown}};
    GaugeInstance gauge = onFace(needle.common);
    const GaugeDisplay before = displayOf(gauge);
    shown(gauge, 1).value = 12;  // a value the angle does not depend on here
    EXPECT_EQ(displayOf(gauge), before);
    shown(gauge, 1).angle = 3;
    EXPECT_NE(displayOf(gauge), before);
    shown(gauge, 1).angle = 0;
    gauge.elements()[1].element->imageFlags |= ImageHidden;
    EXPECT_NE(displayOf(gauge), before);
}

TEST(BmpFiles, RowsReadBottomUpOrTopDownByTheHeightsSign)
{
    auto bmp = makeBmp(2, 2, [](int x, int y) { return uint32_t(y * 2 + x + 1); });
    auto bottomUp = decodeBmp(bmp);
    ASSERT_TRUE(bottomUp);
    EXPECT_EQ(bottomUp->pixels, (std::vector<uint32_t>{1, 2, 3, 4}));
    // The same bytes declared top-down: the rows swap.
    const int32_t negative = -2;
    std::memcpy(&bmp[22], &negative, 4);
    auto topDown = decodeBmp(bmp);
    ASSERT_TRUE(topDown);
    EXPECT_EQ(topDown->pixels, (std::vector<uint32_t>{3, 4, 1, 2}));
}

// Rows are read four pixels at a time and the rest one by one, the last
// pixel by bytes (a row of 4 or 8 pixels ends the file without padding).
TEST(BmpFiles, EveryPixelOfARowIsReadWhateverItsWidth)
{
    auto colour = [](int x, int y) { return uint32_t(0x10203 * (x + 1) + 0x50000 * y) & 0xFFFFFF; };
    for (int width = 1; width <= 9; ++width) {
        const auto bitmap = decodeBmp(makeBmp(width, 2, colour));
        ASSERT_TRUE(bitmap) << width;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(bitmap->pixels[size_t(y) * width + x], colour(x, y)) << width << " wide, at " << x << "," << y;
    }
}

TEST(BmpFiles, TruncatedOrUnsupportedFilesAreRefused)
{
    auto bmp = makeBmp(3, 3, [](int, int) { return Red; });
    EXPECT_FALSE(decodeBmp(std::span(bmp).first(bmp.size() - 1))) << "a row short";
    auto paletted = bmp;
    paletted[28] = 8;
    EXPECT_FALSE(decodeBmp(paletted));
    auto huge = bmp;
    const int32_t wide = 1 << 30;
    std::memcpy(&huge[18], &wide, 4);
    EXPECT_FALSE(decodeBmp(huge)) << "a width beyond any bitmap, whose rows the file cannot hold";
    auto longHeader = bmp;
    const uint32_t infoSize = 0x7FFFFFFF;
    std::memcpy(&longHeader[14], &infoSize, 4);
    EXPECT_FALSE(decodeBmp(longHeader)) << "an info header longer than the file";
    EXPECT_FALSE(decodeBmp({}));
}

}  // namespace
}  // namespace devhost
