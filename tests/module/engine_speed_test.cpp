// Tachometers and exhaust-gas temperature through the development host.
// Runs once the development host's core library is built (VARDEX_HAVE_DEVHOST_CORE).
#if VARDEX_HAVE_DEVHOST_CORE
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "devhost/core/host.h"
#include "tests/module/needle_expectations.h"

namespace {

constexpr size_t needle = 1;
constexpr Point tachometerPivot = {150, 148};
constexpr Point egtPivot = {101, 183};

const std::vector<std::pair<double, Point>> tachometerMarks = {
    {0, {118, 241}},   {21, {81, 224}},   {32, {63, 205}},   {54, {44, 154}},
    {65, {47, 120}},   {98, {150, 42}},   {109, {188, 56}},  {120, {225, 73}},
    {142, {252, 148}}, {153, {245, 182}}, {164, {233, 205}}, {175, {233, 205}},
};

const std::vector<std::pair<double, Point>> egtMarks = {
    {491.67, {42, 78}},   {1031.67, {42, 78}},  {1571.67, {86, 60}},
    {2111.67, {149, 64}}, {2291.67, {160, 74}}, {2471.67, {160, 74}},
};

class EngineSpeedAndHeat : public testing::Test {
protected:
    devhost::ElementSnapshot show(devhost::GaugeInstance& gauge, uint32_t var, double value)
    {
        host.variables().set(var, value);
        host.frame();
        return host.probe(gauge).elements.at(needle);
    }

    devhost::Host host{devhost::moduleUnderTest()};
};

TEST_F(EngineSpeedAndHeat, SpeedValue100IsJustPast9000Rpm)
{
    auto& tachometer = host.place("Tachometer_1");
    auto shown = show(tachometer, 625, 100);
    EXPECT_EQ(shown.value, 100.0) << "the needle shows the host value itself";
    EXPECT_TRUE(pointsBetween(shown.angle, tachometerPivot, {150, 42}, {188, 56}));
    EXPECT_EQ(host.hover(tachometer, 150, 150), "Tachometer Engine 1 (9100 RPM)");
}

TEST_F(EngineSpeedAndHeat, AStoppedEngineRestsOnTheLowerStop)
{
    auto& tachometer = host.place("Tachometer_1");
    auto shown = show(tachometer, 625, 0);
    EXPECT_TRUE(pointsAt(shown.angle, tachometerPivot, {118, 241}));
    EXPECT_EQ(host.hover(tachometer, 150, 150), "Tachometer Engine 1 (0 RPM)");
}

TEST_F(EngineSpeedAndHeat, EachTachometerReadsItsOwnEngine)
{
    auto& first = host.place("Tachometer_1");
    auto& second = host.place("Tachometer_2");
    host.variables().set(625, 50);
    host.variables().set(644, 110);
    host.frame();
    EXPECT_EQ(host.probe(first).elements.at(needle).value, 50.0);
    EXPECT_EQ(host.probe(second).elements.at(needle).value, 110.0);
    EXPECT_EQ(host.hover(first, 150, 150), "Tachometer Engine 1 (4550 RPM)");
    EXPECT_EQ(host.hover(second, 150, 150), "Tachometer Engine 2 (10010 RPM)");
}

TEST_F(EngineSpeedAndHeat, TheTachometerTooltipReadsTheHostWhenShown)
{
    auto& tachometer = host.place("Tachometer_2");
    host.variables().set(644, 98);
    EXPECT_EQ(host.hover(tachometer, 150, 150), "Tachometer Engine 2 (8918 RPM)") << "no frame needed";
}

TEST_F(EngineSpeedAndHeat, SixHundredCelsiusIsOnTheSixMark)
{
    auto& egt = host.place("Exhaust_Gas_Temp");
    auto shown = show(egt, 567, 1571.67);
    EXPECT_TRUE(pointsAt(shown.angle, egtPivot, {86, 60}));
}

TEST_F(EngineSpeedAndHeat, EverythingUpTo300CelsiusRestsOnTheFirstMark)
{
    auto& egt = host.place("Exhaust_Gas_Temp");
    for (double rankine : {491.67, 931.67, 1031.67}) {  // 0, 200 and 300 degrees Celsius
        auto shown = show(egt, 567, rankine);
        EXPECT_TRUE(pointsAt(shown.angle, egtPivot, {42, 78})) << rankine;
    }
}

TEST_F(EngineSpeedAndHeat, EveryNeedleLandsOnEachMarkOfItsScale)
{
    struct Dial {
        const char* gauge;
        uint32_t variable;
        Point pivot;
        const std::vector<std::pair<double, Point>>& marks;
    };
    for (const Dial& dial : {Dial{"Tachometer_1", 625, tachometerPivot, tachometerMarks},
                             Dial{"Tachometer_2", 644, tachometerPivot, tachometerMarks},
                             Dial{"Exhaust_Gas_Temp", 567, egtPivot, egtMarks}}) {
        auto& gauge = host.place(dial.gauge);
        for (auto [value, point] : dial.marks) {
            SCOPED_TRACE(std::string(dial.gauge) + " at " + std::to_string(value));
            auto shown = show(gauge, dial.variable, value);
            EXPECT_EQ(shown.value, value);
            EXPECT_TRUE(pointsAt(shown.angle, dial.pivot, point));
        }
    }
}

}  // namespace

#endif  // VARDEX_HAVE_DEVHOST_CORE
