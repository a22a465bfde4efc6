// Whatever a host delivers: every gauge of the module installed at once and
// every variable of the host's catalogue driven, frame after frame, through
// values no sane host sends (NaN, infinities, +-1e300, denormals, -0, the
// integer extremes, random bit patterns from a fixed seed), with every mouse
// area clicked with every button in between. Nothing may crash, hang or
// trip a sanitizer; and once the values are sane again, every element
// (needle angle, icon frame, offsets, rotation, text, visibility) shows what
// the same panel shows that was clicked alike but never saw them.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <iostream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/core/mouse_map.h"
#include "devhost/core/panel_file.h"
#include "devhost/core/variables.h"
#include "tests/module/switch_support.h"

namespace {

using devhost::Host;
using Limits = std::numeric_limits<double>;

constexpr double hostileNumbers[] = {
    Limits::quiet_NaN(), -Limits::quiet_NaN(), Limits::signaling_NaN(), Limits::infinity(), -Limits::infinity(),
    1e300, -1e300, Limits::max(), Limits::lowest(), Limits::denorm_min(), -Limits::denorm_min(),
    Limits::min() / 4, -0.0, double(INT32_MIN), double(INT32_MAX), double(UINT32_MAX), double(INT64_MIN),
    double(INT64_MAX), double(UINT64_MAX),
};
constexpr uint32_t hostileIntegers[] = {0, UINT32_MAX, INT32_MAX, 0x80000000u, 0x99999999u, 0xFFFF, 0x10000, 0xDEADBEEF};
constexpr int randomRounds = 150;  // rounds of random bit patterns after the listed values
constexpr int framesPerRound = 3;
constexpr int recoveryFrames = 18 * 20;  // twenty seconds: rate-limited needles travel any distance
constexpr uint32_t buttons[] = {ClickLeft, ClickRight, ClickMiddle, ClickLeft | ClickRepeat};
constexpr uint64_t seed = 20261207;

// Every gauge on the panel, as a user would place them.
void placeAll(Host& host) { host.placePanel(devhost::defaultPanel()); }

// Every click area of every gauge with every button, twice, so that
// two-state switches end where they began.
int clickEverything(Host& host)
{
    int clicks = 0;
    for (const auto& gauge : host.gauges()) {
        devhost::MouseMap map(gauge->mouseAreas(), gauge->gaugePixels());
        for (const devhost::MouseMap::Hit& area : map.clickAreas())
            for (uint32_t button : buttons)
                for (int twice = 0; twice < 2; ++twice) {
                    const Point centre{area.box.x + area.box.width / 2, area.box.y + area.box.height / 2};
                    host.clickGaugePixel(*gauge, centre, button);
                    (void)host.hoverGaugePixel(*gauge, centre);
                    ++clicks;
                }
    }
    return clicks;
}

void setValid(Host& host)
{
    for (const devhost::VariableInfo& v : devhost::knownVariables())
        host.variables().set(v.id, v.initial);
}

TEST(HostileValues, NoValueCrashesAGaugeAndEveryGaugeShowsSaneValuesAgainAfterwards)
{
    moduletest::playIntoNothing();
    Host hostile(devhost::moduleUnderTest()), sane(devhost::moduleUnderTest());
    placeAll(hostile);
    placeAll(sane);
    const auto variables = devhost::knownVariables();
    std::mt19937_64 random(seed);
    const int rounds = static_cast<int>(std::size(hostileNumbers)) + randomRounds;
    uint64_t driven = 0;
    int clicks = 0;

    for (int round = 0; round < rounds; ++round) {
        // Each variable gets a different value of the round's kind, so that
        // every gauge meets every value with every other one beside it.
        for (size_t k = 0; k < variables.size(); ++k) {
            const devhost::VariableInfo& v = variables[k];
            const bool listed = round < static_cast<int>(std::size(hostileNumbers));
            if (v.delivery == devhost::Delivery::Integer)
                hostile.variables().setInteger(
                    v.id, listed ? hostileIntegers[(round + k) % std::size(hostileIntegers)]
                                 : static_cast<uint32_t>(random()));
            else
                hostile.variables().set(v.id, listed ? hostileNumbers[(round + k) % std::size(hostileNumbers)]
                                                     : std::bit_cast<double>(random()));
        }
        hostile.frame(framesPerRound);
        sane.frame(framesPerRound);
        driven += variables.size() * framesPerRound;
        clicks += clickEverything(hostile);
        clickEverything(sane);
        hostile.clearEvents();
        sane.clearEvents();
    }

    setValid(hostile);
    setValid(sane);
    hostile.frame(recoveryFrames);
    sane.frame(recoveryFrames);
    const devhost::Snapshot after = hostile.probe(), expected = sane.probe();
    ASSERT_EQ(after.gauges.size(), expected.gauges.size());
    for (size_t g = 0; g < after.gauges.size(); ++g) {
        const auto& shown = after.gauges[g].elements;
        const auto& meant = expected.gauges[g].elements;
        ASSERT_EQ(shown.size(), meant.size());
        for (size_t e = 0; e < shown.size(); ++e) {
            const std::string where = after.gauges[g].name + " element " + std::to_string(e);
            EXPECT_EQ(shown[e].hidden, meant[e].hidden) << where;
            EXPECT_NEAR(shown[e].angle, meant[e].angle, 1e-6) << where;
            EXPECT_EQ(shown[e].frame, meant[e].frame) << where;
            EXPECT_NEAR(shown[e].xOffset, meant[e].xOffset, 1e-6) << where;
            EXPECT_NEAR(shown[e].yOffset, meant[e].yOffset, 1e-6) << where;
            EXPECT_NEAR(shown[e].rotation, meant[e].rotation, 1e-6) << where;
            EXPECT_EQ(shown[e].text, meant[e].text) << where;
        }
    }
    std::cout << "hostile values: " << variables.size() << " variables x " << rounds * framesPerRound
              << " frames = " << driven << " values driven, " << clicks << " clicks\n";
}

}  // namespace
