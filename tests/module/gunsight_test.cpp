// The gunsight: drawn at every start, a click on its body hides it and the
// same spot brings it back. (Its click sound: switch_sounds_test.cpp.)
#include <gtest/gtest.h>

#include "tests/module/switch_support.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;
using moduletest::frameAfterNextFrame;

constexpr uint32_t ShortClip = 10;
constexpr int Sight = 1;  // over the transparent base, bitmap 1080

class Gunsight : public testing::Test {
protected:
    void SetUp() override { moduletest::playIntoNothing(); }
    static GaugeInstance& placeSight(Host& host) { return host.place("Gunsight", {}, 123, 257); }
};

TEST_F(Gunsight, ADrawnSightHidesOnAClickOnItsBodyAndTheSameSpotBringsItBack)
{
    Host host(devhost::moduleUnderTest());
    GaugeInstance& sight = placeSight(host);
    EXPECT_EQ(frameAfterNextFrame(host, sight, Sight), 0) << "drawn at load";
    EXPECT_EQ(host.probe(sight).elements[Sight].bitmap, 1090);
    ASSERT_TRUE(host.click(sight, 60, 200).handled);
    EXPECT_FALSE(frameAfterNextFrame(host, sight, Sight));
    ASSERT_TRUE(host.click(sight, 60, 200).handled) << "the body answers while the sight is hidden";
    EXPECT_EQ(frameAfterNextFrame(host, sight, Sight), 0);
    EXPECT_TRUE(host.events().empty()) << "no link to the simulation";
}

TEST_F(Gunsight, OnlyTheBodyTakesClicksTheWholeSightExplainsItself)
{
    Host host(devhost::moduleUnderTest());
    GaugeInstance& sight = placeSight(host);
    EXPECT_FALSE(host.click(sight, 60, 139).handled) << "the reflector glass above the body";
    EXPECT_TRUE(host.click(sight, 0, 140).handled);
    EXPECT_TRUE(host.click(sight, 122, 256).handled);
    EXPECT_EQ(host.hover(sight, 60, 20), "Display/Hide Gunsight");
}

TEST_F(Gunsight, TheSightAndTheUnitsLeverEachKeepTheirOwnClip)
{
    VARDEX_SKIP_UNLESS_AUDIBLE(ShortClip);
    moduletest::ClickOutput output;
    Host host(devhost::moduleUnderTest());
    GaugeInstance& sight = placeSight(host);
    GaugeInstance& lever = host.place("Metric_Switch", {}, 96, 44);
    host.click(sight, 60, 200);
    ASSERT_TRUE(output.heard(ShortClip));
    host.click(lever, 48, 22);
    EXPECT_TRUE(output.heard(30));
}

}  // namespace
