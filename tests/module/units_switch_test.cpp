// The units lever: metric at every start, a click throws it to British and
// back, and the airspeed dial follows in the next frame. (Its click sound:
// switch_sounds_test.cpp.)
#include <gtest/gtest.h>

#include "tests/module/switch_support.h"
#include "precision.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;
using moduletest::frameAfterNextFrame;

constexpr uint32_t LeverClip = 30;
constexpr int Lever = 1;                                   // the plate is element 0
constexpr int KnotsFace = 1, KmhNeedle = 2, KnotsNeedle = 3, Blade = 5;

class UnitsSwitch : public testing::Test {
protected:
    void SetUp() override { moduletest::playIntoNothing(); }

    static GaugeInstance& placeSwitch(Host& host) { return host.place("Metric_Switch", {}, 96, 44); }
    static GaugeInstance& placeAirspeed(Host& host) { return host.place("Airspeed", {}, 300, 330); }
    static void throwLever(Host& host, GaugeInstance& lever) { ASSERT_TRUE(host.click(lever, 48, 22).handled); }
};

TEST_F(UnitsSwitch, FromMetricAtLoadEachClickThrowsTheLeverOverAndTellsTheHostNothing)
{
    Host host(devhost::moduleUnderTest());
    GaugeInstance& lever = placeSwitch(host);
    EXPECT_EQ(frameAfterNextFrame(host, lever, Lever), 0) << "over MT at load";
    EXPECT_EQ(host.probe(lever).elements[Lever].bitmap, 240);
    throwLever(host, lever);
    EXPECT_EQ(frameAfterNextFrame(host, lever, Lever), 1) << "over BR";
    throwLever(host, lever);
    EXPECT_EQ(frameAfterNextFrame(host, lever, Lever), 0) << "back over MT";
    EXPECT_TRUE(host.events().empty());
}

TEST_F(UnitsSwitch, TheWholePlateTakesTheClickAndExplainsItself)
{
    Host host(devhost::moduleUnderTest());
    GaugeInstance& lever = placeSwitch(host);
    EXPECT_EQ(host.hover(lever, 5, 5), "Switches between metric (german) and british units");
    for (auto [x, y] : {std::pair{0, 0}, {95, 43}, {10, 40}})
        EXPECT_TRUE(host.click(lever, x, y).handled) << x << "," << y;
    EXPECT_FALSE(host.click(lever, 48, 22, ClickRight).handled) << "left clicks only";
}

TEST_F(UnitsSwitch, TheAirspeedDialChangesToKnotsInTheNextFrame)
{
    Host host(devhost::moduleUnderTest());
    GaugeInstance& lever = placeSwitch(host);
    GaugeInstance& airspeed = placeAirspeed(host);
    host.variables().set(61, 300);
    host.frame();
    auto metric = host.probe(airspeed);
    EXPECT_FALSE(metric.elements[KmhNeedle].hidden);
    EXPECT_TRUE(metric.elements[KnotsNeedle].hidden);
    EXPECT_FALSE(metric.elements[KnotsFace].frame);
    EXPECT_EQ(metric.elements[Blade].frame, 0);

    throwLever(host, lever);
    auto sameFrame = host.probe(airspeed);
    EXPECT_FALSE(sameFrame.elements[KmhNeedle].hidden) << "nothing changes before the next frame";

    host.frame();
    auto british = host.probe(airspeed);
    EXPECT_TRUE(british.elements[KmhNeedle].hidden);
    EXPECT_EQ(british.elements[KmhNeedle].value, 0.0);
    EXPECT_FALSE(british.elements[KnotsNeedle].hidden);
    EXPECT_EQ(british.elements[KnotsNeedle].value, 300.0);
    EXPECT_EQ(british.elements[KnotsFace].frame, 0);
    EXPECT_FALSE(british.elements[Blade].frame);

    throwLever(host, lever);
    host.frame();
    auto back = host.probe(airspeed);
    EXPECT_FALSE(back.elements[KmhNeedle].hidden);
    EXPECT_NEEDLE_NEAR(back.elements[KmhNeedle].value, 300 * 1.8512821, 1e-9);
    EXPECT_TRUE(back.elements[KnotsNeedle].hidden);
}

TEST_F(UnitsSwitch, EveryLoadStartsInMetric)
{
    {
        Host host(devhost::moduleUnderTest());
        throwLever(host, placeSwitch(host));
    }
    Host again(devhost::moduleUnderTest());
    EXPECT_EQ(frameAfterNextFrame(again, placeSwitch(again), Lever), 0);
}

TEST_F(UnitsSwitch, RemovedAndPlacedAgainTheLeverStillClicks)
{
    VARDEX_SKIP_UNLESS_AUDIBLE(LeverClip);
    moduletest::ClickOutput output;
    Host host(devhost::moduleUnderTest());
    host.remove(placeSwitch(host));
    EXPECT_TRUE(output.eachClickPlays(host, placeSwitch(host), 48, 22, LeverClip));
}

}  // namespace
