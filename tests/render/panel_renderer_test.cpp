// The panel window as a whole: what a frame redraws, and that drawing only
// what changed gives the same picture as drawing everything.
#include <gtest/gtest.h>

#include <cstring>

#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/render/panel_renderer.h"
#include "pictures.h"

namespace devhost {
namespace {

using namespace pictures;

constexpr Point MainWindow = {1024, 768};
constexpr uint32_t Rpm1 = 625;

bool samePixels(cairo_surface_t* a, cairo_surface_t* b)
{
    cairo_surface_flush(a);
    cairo_surface_flush(b);
    if (width(a) != width(b) || height(a) != height(b))
        return false;
    const int stride = cairo_image_surface_get_stride(a);
    return std::memcmp(cairo_image_surface_get_data(a), cairo_image_surface_get_data(b),
                       size_t(stride) * height(a)) == 0;
}

class MainPanel : public testing::Test {
protected:
    MainPanel()
    {
        host.placePanel(defaultPanel());
        host.frame();
    }
    size_t gaugesInMainWindow() const
    {
        size_t n = 0;
        for (const auto& g : host.gauges())
            n += g->window() == 0;
        return n;
    }
    Host host{moduleUnderTest()};
};

TEST_F(MainPanel, TheFirstPictureDrawsEveryGaugeOfTheWindow)
{
    PanelRenderer renderer(host);
    cairo_surface_t* picture = renderer.render(0, MainWindow);
    EXPECT_EQ(renderer.redrawn(), gaugesInMainWindow());
    EXPECT_EQ(width(picture), MainWindow.x);
    EXPECT_EQ(height(picture), MainWindow.y);
}

TEST_F(MainPanel, NothingIsRedrawnWhenNothingChanged)
{
    PanelRenderer renderer(host);
    renderer.render(0, MainWindow);
    renderer.render(0, MainWindow);
    EXPECT_EQ(renderer.redrawn(), 0u);
}

// Gauges that move by themselves (the clocks) are redrawn in the frames in
// which their hands move far enough to show: a twin panel that runs the
// same frames without the change tells which those are.
TEST_F(MainPanel, ARisingEngineSpeedRedrawsItsTachometerAndTheSameSmallSetEveryTime)
{
    Host twin{moduleUnderTest()};
    twin.placePanel(defaultPanel());
    twin.frame();
    PanelRenderer renderer(host), unchanged(twin);
    renderer.render(0, MainWindow);
    unchanged.render(0, MainWindow);
    host.variables().set(Rpm1, 60);
    for (Host* panel : {&host, &twin})
        panel->frame();
    renderer.render(0, MainWindow);
    unchanged.render(0, MainWindow);
    EXPECT_EQ(renderer.redrawn(), unchanged.redrawn() + 1);
}

TEST_F(MainPanel, RedrawingOnlyWhatChangedGivesTheSamePictureAsDrawingEverything)
{
    PanelRenderer running(host);
    running.render(0, MainWindow);
    host.variables().set(Rpm1, 60);
    host.variables().set(330, 16383);  // flaps
    host.frame(5);
    cairo_surface_t* incremental = running.render(0, MainWindow);
    PanelRenderer fresh(host);
    EXPECT_TRUE(samePixels(incremental, fresh.render(0, MainWindow)));
}

// A module may hide the face a gauge starts with (the gauges here never
// do, but the records allow it): the kept ground under it must change too.
TEST_F(MainPanel, HidingAGaugesFaceRedrawsAsDrawingEverything)
{
    PanelRenderer running(host);
    running.render(0, MainWindow);
    GaugeInstance* airspeed = host.find("Airspeed");
    ASSERT_NE(airspeed, nullptr);
    GaugeElement& face = *airspeed->elements().front().element;
    ASSERT_EQ(face.kind, StaticImage);
    face.imageFlags |= ImageHidden;
    host.frame();
    cairo_surface_t* incremental = running.render(0, MainWindow);
    PanelRenderer fresh(host);
    const bool same = samePixels(incremental, fresh.render(0, MainWindow));
    face.imageFlags &= ~ImageHidden;  // the module's records outlive this test
    EXPECT_TRUE(same);
}

// The transponder lights its wheels only while it is on: at night its
// switch changes the wheels' picture though nothing else of them moved.
TEST_F(MainPanel, AChangeOfLightOrOfWhatIsLitRedrawsAsDrawingEverything)
{
    constexpr int RadioStack = 1;
    constexpr Point RadioWindow = {360, 685};
    const Lighting night{.level = Lighting::NightLevel};
    PanelRenderer running(host);
    running.render(RadioStack, RadioWindow);
    running.setLighting(night);
    running.render(RadioStack, RadioWindow);
    GaugeInstance* transponder = host.find("Radio_XPDR_FUG25A6");
    ASSERT_NE(transponder, nullptr);
    ASSERT_TRUE(host.clickGaugePixel(*transponder, {115, 145}).hit);
    host.frame();
    cairo_surface_t* incremental = running.render(RadioStack, RadioWindow);
    PanelRenderer fresh(host);
    fresh.setLighting(night);
    EXPECT_TRUE(samePixels(incremental, fresh.render(RadioStack, RadioWindow)));
}

TEST_F(MainPanel, EachWindowShowsOnlyItsOwnGauges)
{
    PanelRenderer renderer(host);
    renderer.render(2, {180, 90});
    EXPECT_EQ(renderer.redrawn(), 2u) << "the engine 2 repeaters";
}

}  // namespace
}  // namespace devhost
