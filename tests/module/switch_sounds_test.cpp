// The three click switches of this file's gauges, side by side: each click
// plays the switch's own clip, and with no sound to be had (no host window)
// every switch still works, in silence.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/module/switch_support.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;
using moduletest::frameAfterNextFrame;

struct Switch {
    const char* gauge;
    int width, height;  // the gauge's own pixels
    int x, y;           // a spot the switch answers on
    uint32_t clip;
};

// Test names carry the gauge's name, not the record's bytes.
void PrintTo(const Switch& s, std::ostream* out) { *out << s.gauge; }

constexpr int SwitchIcon = 1;  // every one of them: the icon over its plate

class SwitchSounds : public testing::TestWithParam<Switch> {
protected:
    void SetUp() override { moduletest::playIntoNothing(); }
    GaugeInstance& place(Host& host) { return host.place(GetParam().gauge, {}, GetParam().width, GetParam().height); }
};

TEST_P(SwitchSounds, EachClickPlaysTheSwitchsClip)
{
    VARDEX_SKIP_UNLESS_AUDIBLE(GetParam().clip);
    moduletest::ClickOutput output;
    Host host(devhost::moduleUnderTest());
    EXPECT_TRUE(output.eachClickPlays(host, place(host), GetParam().x, GetParam().y, GetParam().clip));
}

TEST_P(SwitchSounds, WithoutTheHostWindowTheSwitchWorksInSilence)
{
    moduletest::ClickOutput output;
    Host host(devhost::moduleUnderTest(), {.windowClasses = {}});
    GaugeInstance& gauge = place(host);
    auto before = frameAfterNextFrame(host, gauge, SwitchIcon);
    ASSERT_TRUE(host.click(gauge, GetParam().x, GetParam().y).handled);
    EXPECT_NE(frameAfterNextFrame(host, gauge, SwitchIcon), before) << "the switch moved";
    EXPECT_FALSE(output.opened()) << "no sound device was made";
}

INSTANTIATE_TEST_SUITE_P(ClickSwitches, SwitchSounds,
                         testing::Values(Switch{"Metric_Switch", 96, 44, 48, 22, 30},
                                         Switch{"Gunsight", 123, 257, 60, 200, 10},
                                         Switch{"NAV_GPS_Switch", 31, 88, 15, 40, 10}),
                         [](const testing::TestParamInfo<Switch>& info) { return std::string(info.param.gauge); });

}  // namespace
