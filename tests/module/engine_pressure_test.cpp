// The engine pressure dials through the development host: what the needles
// and the tooltips show for the host's pressure values.
// Runs once the development host's core library is built (VARDEX_HAVE_DEVHOST_CORE).
#if VARDEX_HAVE_DEVHOST_CORE
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "devhost/core/host.h"
#include "tests/module/needle_expectations.h"

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr size_t needle = 1;  // face 0, needle 1, bezel 2
constexpr Point centre = {100, 100};
constexpr double factor = 2050.82;

class PressureDials : public testing::Test {
protected:
    // One frame with the variable at value; what the needle then shows.
    devhost::ElementSnapshot show(devhost::GaugeInstance& gauge, uint32_t var, double value)
    {
        host.variables().set(var, value);
        host.frame();
        return host.probe(gauge).elements.at(needle);
    }
    std::string tooltip(devhost::GaugeInstance& gauge) { return host.hover(gauge, 100, 100); }

    devhost::Host host{devhost::moduleUnderTest()};
};

// ---------------------------------------------------------------- compressor-turbine difference

TEST_F(PressureDials, NoPressureDifferenceRestsOnZero)
{
    auto& dial = host.place("Engine_1_Press_Diff");
    auto shown = show(dial, 630, 1.0);
    EXPECT_EQ(shown.value, 0.0);
    EXPECT_TRUE(pointsAt(shown.angle, centre, {67, 157}));
    EXPECT_EQ(tooltip(dial), "Engine 1 compressor-turbine difference of pressure (0.00 kg/cm2)");
}

TEST_F(PressureDials, ARatioOf3Point14IsOneKgOnTheLowerRightMark)
{
    auto& dial = host.place("Engine_1_Press_Diff");
    auto shown = show(dial, 630, 3.14);
    EXPECT_DOUBLE_EQ(shown.value, 1.0);
    EXPECT_TRUE(pointsAt(shown.angle, centre, {133, 157}));
    EXPECT_EQ(tooltip(dial), "Engine 1 compressor-turbine difference of pressure (1.00 kg/cm2)");
}

TEST_F(PressureDials, ANegativeDifferenceIsClampedForNeedleAndTooltip)
{
    auto& dial = host.place("Engine_1_Press_Diff");
    auto shown = show(dial, 630, 0.5);  // -0.234 before the clamp
    EXPECT_EQ(shown.value, 0.0);
    EXPECT_TRUE(pointsAt(shown.angle, centre, {67, 157}));
    EXPECT_EQ(tooltip(dial), "Engine 1 compressor-turbine difference of pressure (0.00 kg/cm2)");
}

TEST_F(PressureDials, BeyondTheScaleTheNeedleStopsButTheTooltipPrintsTheFullValue)
{
    auto& dial = host.place("Engine_1_Press_Diff");
    auto shown = show(dial, 630, 4.424);
    EXPECT_TRUE(pointsAt(shown.angle, centre, {133, 157}));
    EXPECT_EQ(tooltip(dial), "Engine 1 compressor-turbine difference of pressure (1.60 kg/cm2)");
}

TEST_F(PressureDials, AnUnreadablePressureRatioShowsNoDifference)
{
    auto& dial = host.place("Engine_1_Press_Diff");
    for (double broken : {nan, inf, -inf}) {
        show(dial, 630, 2.07);
        auto shown = show(dial, 630, broken);
        EXPECT_EQ(shown.value, 0.0) << broken;
        EXPECT_EQ(tooltip(dial), "Engine 1 compressor-turbine difference of pressure (0.00 kg/cm2)") << broken;
    }
}

TEST_F(PressureDials, EachEnginesDifferenceDialReadsItsOwnEngine)
{
    auto& first = host.place("Engine_1_Press_Diff");
    auto& second = host.place("Engine_2_Press_Diff");
    host.variables().set(630, 1.0);
    host.variables().set(649, 2.07);
    host.frame();
    EXPECT_EQ(host.probe(first).elements.at(needle).value, 0.0);
    EXPECT_DOUBLE_EQ(host.probe(second).elements.at(needle).value, 0.5);
    EXPECT_EQ(tooltip(second), "Engine 2 compressor-turbine difference of pressure (0.50 kg/cm2)");
    EXPECT_EQ(tooltip(first), "Engine 1 compressor-turbine difference of pressure (0.00 kg/cm2)");
}

TEST_F(PressureDials, ATooltipBeforeTheFirstFramePrintsZero)
{
    host.variables().set(630, 3.14);
    host.variables().set(899, factor);
    auto& difference = host.place("Engine_1_Press_Diff");
    auto& fuel = host.place("Fuel_Pressure_1");
    EXPECT_EQ(tooltip(difference), "Engine 1 compressor-turbine difference of pressure (0.00 kg/cm2)");
    EXPECT_EQ(tooltip(fuel), "Engine 1 fuel pressure ( 0.0 kg/cm2)");
}

// ---------------------------------------------------------------- fuel pressure

TEST_F(PressureDials, OneKgOfFuelPressurePrintsWithALeadingSpace)
{
    auto& dial = host.place("Fuel_Pressure_1");
    auto shown = show(dial, 899, factor);
    EXPECT_DOUBLE_EQ(shown.value, 1.0);
    EXPECT_EQ(tooltip(dial), "Engine 1 fuel pressure ( 1.0 kg/cm2)");
}

TEST_F(PressureDials, ThirtyKgOfFuelPressurePointsStraightUp)
{
    auto& dial = host.place("Fuel_Pressure_1");
    auto shown = show(dial, 899, 61524.6);
    EXPECT_NEAR(shown.value, 30.0, 1e-9);
    EXPECT_TRUE(pointsAt(shown.angle, centre, {100, 33}));
    EXPECT_EQ(tooltip(dial), "Engine 1 fuel pressure (30.0 kg/cm2)");
}

TEST_F(PressureDials, ANegativeFuelPressureIsNotClampedButRestsOnTheLowerStop)
{
    auto& dial = host.place("Fuel_Pressure_1");
    auto shown = show(dial, 899, -2 * factor);
    EXPECT_DOUBLE_EQ(shown.value, -2.0);
    EXPECT_TRUE(pointsAt(shown.angle, centre, {51, 150}));
    EXPECT_EQ(tooltip(dial), "Engine 1 fuel pressure (-2.0 kg/cm2)");
}

TEST_F(PressureDials, AnUnreadableFuelPressureShowsZero)
{
    auto& dial = host.place("Fuel_Pressure_2");
    for (double broken : {nan, inf, -inf}) {
        show(dial, 900, 20 * factor);
        auto shown = show(dial, 900, broken);
        EXPECT_EQ(shown.value, 0.0) << broken;
        EXPECT_EQ(tooltip(dial), "Engine 2 fuel pressure ( 0.0 kg/cm2)") << broken;
    }
}

TEST_F(PressureDials, EachEnginesFuelDialReadsItsOwnEngine)
{
    auto& first = host.place("Fuel_Pressure_1");
    auto& second = host.place("Fuel_Pressure_2");
    host.variables().set(899, 10 * factor);
    host.variables().set(900, 45 * factor);
    host.frame();
    EXPECT_EQ(tooltip(first), "Engine 1 fuel pressure (10.0 kg/cm2)");
    EXPECT_EQ(tooltip(second), "Engine 2 fuel pressure (45.0 kg/cm2)");
}

// ---------------------------------------------------------------- oil pressure

TEST_F(PressureDials, FiveKgOfOilPressureIsAtTheTop)
{
    for (const char* name : {"Oil_Pressure_1", "Oil_Pressure"}) {
        SCOPED_TRACE(name);
        auto& dial = host.place(name);
        auto shown = show(dial, 562, 10254.1);
        EXPECT_EQ(shown.value, 10254.1) << "the needle shows the raw host value";
        EXPECT_TRUE(pointsAt(shown.angle, centre, {100, 33}));
        EXPECT_EQ(tooltip(dial), "Engine 1 oil pressure (5.00 kg/cm2)");
    }
}

TEST_F(PressureDials, TheEngine2OilDialReadsEngine2)
{
    auto& dial = host.place("Oil_Pressure_2");
    host.variables().set(562, 0.0);
    auto shown = show(dial, 572, 20508.2);
    EXPECT_TRUE(pointsAt(shown.angle, centre, {148, 154}));
    EXPECT_EQ(tooltip(dial), "Engine 2 oil pressure (10.00 kg/cm2)");
}

TEST_F(PressureDials, TheOilTooltipReadsTheHostAfreshNotTheLastFrame)
{
    auto& dial = host.place("Oil_Pressure_1");
    show(dial, 562, 10254.1);
    host.variables().set(562, 2 * factor);
    EXPECT_EQ(tooltip(dial), "Engine 1 oil pressure (2.00 kg/cm2)");
}

TEST_F(PressureDials, AnUnreadableOilPressurePrintsZero)
{
    auto& dial = host.place("Oil_Pressure_1");
    show(dial, 562, nan);
    EXPECT_EQ(tooltip(dial), "Engine 1 oil pressure (0.00 kg/cm2)");
}

// ---------------------------------------------------------------- every dial on every mark

struct Mark {
    double source;  // what the host reports
    double value;   // what the needle shows
    Point point;    // where it points
};

struct DialMarks {
    const char* gauge;
    uint32_t variable;
    std::vector<Mark> marks;
};

// The sources that put each dial's needle on each of its calibration values.
std::vector<DialMarks> pressureDialMarks()
{
    auto ratio = [](double kg) { return 1.0 + kg * 2.14; };
    std::vector<Mark> difference = {{ratio(0.0), 0.0, {67, 157}},
                                    {ratio(0.5), 0.5, {100, 39}},
                                    {ratio(1.0), 1.0, {133, 157}},
                                    {ratio(1.5), 1.5, {133, 157}}};
    std::vector<Mark> fuel = {{-factor, -1.0, {51, 150}},      {0.0, 0.0, {51, 150}},
                              {30 * factor, 30.0, {100, 33}},  {60 * factor, 60.0, {150, 150}},
                              {70 * factor, 70.0, {150, 150}}};
    std::vector<Mark> oil;
    for (auto [kg, point] : {std::pair{-1.0, Point{52, 155}}, {0.0, {52, 155}}, {5.0, {100, 33}},
                             {10.0, {148, 154}}, {15.0, {148, 154}}})
        oil.push_back({kg * factor, kg * factor, point});
    return {{"Engine_1_Press_Diff", 630, difference}, {"Engine_2_Press_Diff", 649, difference},
            {"Fuel_Pressure_1", 899, fuel},           {"Fuel_Pressure_2", 900, fuel},
            {"Oil_Pressure_1", 562, oil},             {"Oil_Pressure_2", 572, oil},
            {"Oil_Pressure", 562, oil}};
}

TEST_F(PressureDials, EveryNeedleLandsOnEachMarkOfItsScale)
{
    for (const DialMarks& dial : pressureDialMarks()) {
        auto& gauge = host.place(dial.gauge);
        for (const Mark& mark : dial.marks) {
            SCOPED_TRACE(std::string(dial.gauge) + " at " + std::to_string(mark.value));
            auto shown = show(gauge, dial.variable, mark.source);
            EXPECT_NEAR(shown.value, mark.value, 1e-9);
            EXPECT_TRUE(pointsAt(shown.angle, centre, mark.point));
        }
    }
}

}  // namespace

#endif  // VARDEX_HAVE_DEVHOST_CORE
