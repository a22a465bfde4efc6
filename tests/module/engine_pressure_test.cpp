// The engine pressure dials through the development host: what the needles
// and the tooltips show for the host's pressure values.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "tests/module/dial_fixture.h"
#include "precision.h"

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr Point centre = {100, 100};
constexpr double factor = 2050.82;  // host pressure units per kg/cm2

constexpr uint32_t engine1Ratio = 630, engine2Ratio = 649;
constexpr uint32_t engine1Fuel = 899, engine2Fuel = 900;
constexpr uint32_t engine1Oil = 562, engine2Oil = 572;

std::string difference(int engine, const char* kg)
{
    return "Engine " + std::to_string(engine) + " compressor-turbine difference of pressure (" + kg + " kg/cm2)";
}
std::string fuel(int engine, const char* kg)
{
    return "Engine " + std::to_string(engine) + " fuel pressure (" + kg + " kg/cm2)";
}
std::string oil(int engine, const char* kg)
{
    return "Engine " + std::to_string(engine) + " oil pressure (" + kg + " kg/cm2)";
}

using PressureDials = DialTest;

// ---------------------------------------------------------------- compressor-turbine difference

TEST_F(PressureDials, NoDifferenceRestsOnZeroAndARatioOf3Point14IsOneKgOnTheLowerRightMark)
{
    auto& dial = host.place("Engine_1_Press_Diff");
    struct Reading {
        double ratio;
        double kg;
        Point mark;
        const char* printed;
    };
    for (const Reading& r : {Reading{1.0, 0.0, {67, 157}, "0.00"}, Reading{3.14, 1.0, {133, 157}, "1.00"}}) {
        auto needle = show(dial, engine1Ratio, r.ratio);
        EXPECT_NEEDLE_EQ(needle.value, r.kg);
        EXPECT_TRUE(pointsAt(needle.angle, centre, r.mark));
        EXPECT_EQ(tooltip(dial), difference(1, r.printed));
    }
}

TEST_F(PressureDials, ANegativeDifferenceIsClampedForNeedleAndTooltip)
{
    auto& dial = host.place("Engine_1_Press_Diff");
    EXPECT_EQ(show(dial, engine1Ratio, 0.5).value, 0.0) << "-0.234 before the clamp";
    EXPECT_EQ(tooltip(dial), difference(1, "0.00"));
}

TEST_F(PressureDials, BeyondTheScaleTheNeedleStopsButTheTooltipPrintsTheFullValue)
{
    auto& dial = host.place("Engine_1_Press_Diff");
    EXPECT_TRUE(pointsAt(show(dial, engine1Ratio, 4.424).angle, centre, {133, 157}));
    EXPECT_EQ(tooltip(dial), difference(1, "1.60"));
}

TEST_F(PressureDials, AnUnreadablePressureRatioShowsNoDifference)
{
    auto& dial = host.place("Engine_1_Press_Diff");
    for (double broken : {nan, inf, -inf}) {
        show(dial, engine1Ratio, 2.07);
        EXPECT_EQ(show(dial, engine1Ratio, broken).value, 0.0) << broken;
        EXPECT_EQ(tooltip(dial), difference(1, "0.00")) << broken;
    }
}

TEST_F(PressureDials, EachEnginesDifferenceDialReadsItsOwnEngine)
{
    expectEachReadsItsOwn({"Engine_1_Press_Diff", engine1Ratio, 1.0, difference(1, "0.00")},
                          {"Engine_2_Press_Diff", engine2Ratio, 2.07, difference(2, "0.50")});
}

TEST_F(PressureDials, ATooltipBeforeTheFirstFramePrintsZero)
{
    host.variables().set(engine1Ratio, 3.14);
    host.variables().set(engine1Fuel, factor);
    EXPECT_EQ(tooltip(host.place("Engine_1_Press_Diff")), difference(1, "0.00"));
    EXPECT_EQ(tooltip(host.place("Fuel_Pressure_1")), fuel(1, " 0.0"));
}

// ---------------------------------------------------------------- fuel pressure

TEST_F(PressureDials, OneKgOfFuelPressurePrintsWithALeadingSpace)
{
    auto& dial = host.place("Fuel_Pressure_1");
    EXPECT_NEEDLE_EQ(show(dial, engine1Fuel, factor).value, 1.0);
    EXPECT_EQ(tooltip(dial), fuel(1, " 1.0"));
}

TEST_F(PressureDials, ThirtyKgOfFuelPressurePointsStraightUp)
{
    auto& dial = host.place("Fuel_Pressure_1");
    auto needle = show(dial, engine1Fuel, 61524.6);
    EXPECT_NEEDLE_NEAR(needle.value, 30.0, 1e-9);
    EXPECT_TRUE(pointsAt(needle.angle, centre, {100, 33}));
    EXPECT_EQ(tooltip(dial), fuel(1, "30.0"));
}

TEST_F(PressureDials, ANegativeFuelPressureIsNotClampedButRestsOnTheLowerStop)
{
    auto& dial = host.place("Fuel_Pressure_1");
    auto needle = show(dial, engine1Fuel, -2 * factor);
    EXPECT_NEEDLE_EQ(needle.value, -2.0);
    EXPECT_TRUE(pointsAt(needle.angle, centre, {51, 150}));
    EXPECT_EQ(tooltip(dial), fuel(1, "-2.0"));
}

TEST_F(PressureDials, AnUnreadableFuelPressureShowsZero)
{
    auto& dial = host.place("Fuel_Pressure_2");
    for (double broken : {nan, inf, -inf}) {
        show(dial, engine2Fuel, 20 * factor);
        EXPECT_EQ(show(dial, engine2Fuel, broken).value, 0.0) << broken;
        EXPECT_EQ(tooltip(dial), fuel(2, " 0.0")) << broken;
    }
}

TEST_F(PressureDials, EachEnginesFuelDialReadsItsOwnEngine)
{
    expectEachReadsItsOwn({"Fuel_Pressure_1", engine1Fuel, 10 * factor, fuel(1, "10.0")},
                          {"Fuel_Pressure_2", engine2Fuel, 45 * factor, fuel(2, "45.0")});
}

// ---------------------------------------------------------------- oil pressure

TEST_F(PressureDials, FiveKgOfOilPressureIsAtTheTop)
{
    for (const char* name : {"Oil_Pressure_1", "Oil_Pressure"}) {
        SCOPED_TRACE(name);
        auto& dial = host.place(name);
        auto needle = show(dial, engine1Oil, 10254.1);
        EXPECT_EQ(needle.value, 10254.1) << "the needle shows the raw host value";
        EXPECT_TRUE(pointsAt(needle.angle, centre, {100, 33}));
        EXPECT_EQ(tooltip(dial), oil(1, "5.00"));
    }
}

TEST_F(PressureDials, TheEngine2OilDialReadsEngine2)
{
    auto& dial = host.place("Oil_Pressure_2");
    host.variables().set(engine1Oil, 0.0);
    EXPECT_TRUE(pointsAt(show(dial, engine2Oil, 20508.2).angle, centre, {148, 154}));
    EXPECT_EQ(tooltip(dial), oil(2, "10.00"));
}

TEST_F(PressureDials, TheOilTooltipReadsTheHostAfreshNotTheLastFrame)
{
    auto& dial = host.place("Oil_Pressure_1");
    show(dial, engine1Oil, 10254.1);
    host.variables().set(engine1Oil, 2 * factor);
    EXPECT_EQ(tooltip(dial), oil(1, "2.00"));
}

TEST_F(PressureDials, AnUnreadableOilPressurePrintsZero)
{
    auto& dial = host.place("Oil_Pressure_1");
    show(dial, engine1Oil, nan);
    EXPECT_EQ(tooltip(dial), oil(1, "0.00"));
}

// ---------------------------------------------------------------- every dial on every mark

struct DialMarks {
    const char* gauge;
    uint32_t variable;
    std::vector<Mark> marks;
};

// The sources that put each dial's needle on each of its calibration values.
std::vector<DialMarks> pressureDialMarks()
{
    auto ratio = [](double kg) { return 1.0 + kg * 2.14; };
    std::vector<Mark> differenceMarks = {{ratio(0.0), 0.0, {67, 157}},
                                         {ratio(0.5), 0.5, {100, 39}},
                                         {ratio(1.0), 1.0, {133, 157}},
                                         {ratio(1.5), 1.5, {133, 157}}};
    std::vector<Mark> fuelMarks = {{-factor, -1.0, {51, 150}},     {0.0, 0.0, {51, 150}},
                                   {30 * factor, 30.0, {100, 33}}, {60 * factor, 60.0, {150, 150}},
                                   {70 * factor, 70.0, {150, 150}}};
    std::vector<Mark> oilMarks;
    for (auto [kg, point] : {std::pair{-1.0, Point{52, 155}}, {0.0, {52, 155}}, {5.0, {100, 33}},
                             {10.0, {148, 154}}, {15.0, {148, 154}}})
        oilMarks.push_back({kg * factor, kg * factor, point});
    return {{"Engine_1_Press_Diff", engine1Ratio, differenceMarks},
            {"Engine_2_Press_Diff", engine2Ratio, differenceMarks},
            {"Fuel_Pressure_1", engine1Fuel, fuelMarks},
            {"Fuel_Pressure_2", engine2Fuel, fuelMarks},
            {"Oil_Pressure_1", engine1Oil, oilMarks},
            {"Oil_Pressure_2", engine2Oil, oilMarks},
            {"Oil_Pressure", engine1Oil, oilMarks}};
}

TEST_F(PressureDials, EveryNeedleLandsOnEachMarkOfItsScale)
{
    for (const DialMarks& dial : pressureDialMarks()) {
        SCOPED_TRACE(dial.gauge);
        expectLandsOnEachMark(host.place(dial.gauge), dial.variable, centre, dial.marks);
    }
}

}  // namespace
