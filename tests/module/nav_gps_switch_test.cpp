// The NAV/GPS lever shows what the host says drives the navigation display;
// a click asks the host to change it, and the lever follows once the host
// has. (Its click sound: switch_sounds_test.cpp.)
#include <gtest/gtest.h>

#include "devhost/core/tooltip_format.h"
#include "tests/module/switch_support.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;
using moduletest::frameAfterNextFrame;

constexpr uint32_t GpsDrivesNav = 848;
constexpr uint32_t ToggleNavGps = 66375;
constexpr int Lever = 1;  // frames 3010 (N) and 3011 (G) over the mounting, 3000

class NavGpsSwitch : public testing::Test {
protected:
    void SetUp() override { moduletest::playIntoNothing(); }
    static GaugeInstance& placeLever(Host& host) { return host.place("NAV_GPS_Switch", {}, 31, 88); }
};

TEST_F(NavGpsSwitch, TheLeverShowsTheHostsSelection)
{
    Host host(devhost::moduleUnderTest());
    GaugeInstance& lever = placeLever(host);
    EXPECT_EQ(frameAfterNextFrame(host, lever, Lever), 0) << "down at N";
    host.variables().set(GpsDrivesNav, 1);
    EXPECT_EQ(frameAfterNextFrame(host, lever, Lever), 1) << "up at G";
    EXPECT_EQ(host.probe(lever).elements[Lever].bitmap, 3010);
}

TEST_F(NavGpsSwitch, AClickAsksTheHostAndTheLeverFollowsInTheNextFrame)
{
    Host host(devhost::moduleUnderTest());
    GaugeInstance& lever = placeLever(host);
    EXPECT_TRUE(host.click(lever, 15, 40).handled);
    ASSERT_EQ(host.events().size(), 1u);
    EXPECT_EQ(host.events()[0].id, ToggleNavGps);
    EXPECT_EQ(host.events()[0].value, 0u);
    EXPECT_EQ(frameAfterNextFrame(host, lever, Lever), 1);
    host.click(lever, 15, 40);
    EXPECT_EQ(host.events().size(), 2u) << "two clicks, two toggles";
    EXPECT_EQ(frameAfterNextFrame(host, lever, Lever), 0);
}

TEST_F(NavGpsSwitch, OnlyTheLeverTakesClicksTheMountingCarriesTheHostsTooltip)
{
    Host host(devhost::moduleUnderTest());
    GaugeInstance& lever = placeLever(host);
    EXPECT_FALSE(host.click(lever, 15, 10).handled) << "above the lever";
    EXPECT_FALSE(host.click(lever, 15, 75).handled) << "below the lever";
    EXPECT_TRUE(host.click(lever, 0, 19).handled);
    EXPECT_TRUE(host.click(lever, 30, 68).handled);
    EXPECT_EQ(host.hover(lever, 15, 5), devhost::hostHelpText(43853));
}

}  // namespace
