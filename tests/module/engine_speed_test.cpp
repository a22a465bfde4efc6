// Tachometers and exhaust-gas temperature through the development host.
#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <utility>
#include <vector>

#include "tests/module/dial_fixture.h"

namespace {

constexpr uint32_t engine1Speed = 625, engine2Speed = 644;
constexpr uint32_t engine1Egt = 567;
constexpr Point tachometerPivot = {150, 148};
constexpr Point egtPivot = {101, 183};

// The needles show the host values themselves.
std::vector<Mark> marksOf(std::initializer_list<std::pair<double, Point>> scale)
{
    std::vector<Mark> marks;
    for (auto [value, point] : scale)
        marks.push_back({value, value, point});
    return marks;
}

const std::vector<Mark> tachometerMarks = marksOf({
    {0, {118, 241}},   {21, {81, 224}},   {32, {63, 205}},   {54, {44, 154}},
    {65, {47, 120}},   {98, {150, 42}},   {109, {188, 56}},  {120, {225, 73}},
    {142, {252, 148}}, {153, {245, 182}}, {164, {233, 205}}, {175, {233, 205}},
});

const std::vector<Mark> egtMarks = marksOf({
    {491.67, {42, 78}},   {1031.67, {42, 78}},  {1571.67, {86, 60}},
    {2111.67, {149, 64}}, {2291.67, {160, 74}}, {2471.67, {160, 74}},
});

using EngineSpeedAndHeat = DialTest;

TEST_F(EngineSpeedAndHeat, SpeedValue100IsJustPast9000Rpm)
{
    auto& tachometer = host.place("Tachometer_1");
    auto needle = show(tachometer, engine1Speed, 100);
    EXPECT_EQ(needle.value, 100.0) << "the needle shows the host value itself";
    EXPECT_TRUE(pointsBetween(needle.angle, tachometerPivot, {150, 42}, {188, 56}));
    EXPECT_EQ(tooltip(tachometer), "Tachometer Engine 1 (9100 RPM)");
}

TEST_F(EngineSpeedAndHeat, AStoppedEngineRestsOnTheLowerStop)
{
    auto& tachometer = host.place("Tachometer_1");
    EXPECT_TRUE(pointsAt(show(tachometer, engine1Speed, 0).angle, tachometerPivot, {118, 241}));
    EXPECT_EQ(tooltip(tachometer), "Tachometer Engine 1 (0 RPM)");
}

TEST_F(EngineSpeedAndHeat, EachTachometerReadsItsOwnEngine)
{
    expectEachReadsItsOwn({"Tachometer_1", engine1Speed, 50, "Tachometer Engine 1 (4550 RPM)"},
                          {"Tachometer_2", engine2Speed, 110, "Tachometer Engine 2 (10010 RPM)"});
}

TEST_F(EngineSpeedAndHeat, TheTachometerTooltipReadsTheHostWhenShown)
{
    auto& tachometer = host.place("Tachometer_2");
    host.variables().set(engine2Speed, 98);
    EXPECT_EQ(tooltip(tachometer), "Tachometer Engine 2 (8918 RPM)") << "no frame needed";
}

TEST_F(EngineSpeedAndHeat, AnUnreadableEngineSpeedPrintsZero)
{
    auto& tachometer = host.place("Tachometer_1");
    host.variables().set(engine1Speed, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(tooltip(tachometer), "Tachometer Engine 1 (0 RPM)");
}

TEST_F(EngineSpeedAndHeat, SixHundredCelsiusIsOnTheSixMark)
{
    auto& egt = host.place("Exhaust_Gas_Temp");
    EXPECT_TRUE(pointsAt(show(egt, engine1Egt, 1571.67).angle, egtPivot, {86, 60}));
}

TEST_F(EngineSpeedAndHeat, EverythingUpTo300CelsiusRestsOnTheFirstMark)
{
    auto& egt = host.place("Exhaust_Gas_Temp");
    for (double rankine : {491.67, 931.67, 1031.67})  // 0, 200 and 300 degrees Celsius
        EXPECT_TRUE(pointsAt(show(egt, engine1Egt, rankine).angle, egtPivot, {42, 78})) << rankine;
}

TEST_F(EngineSpeedAndHeat, EveryNeedleLandsOnEachMarkOfItsScale)
{
    expectLandsOnEachMark(host.place("Tachometer_1"), engine1Speed, tachometerPivot, tachometerMarks);
    expectLandsOnEachMark(host.place("Tachometer_2"), engine2Speed, tachometerPivot, tachometerMarks);
    expectLandsOnEachMark(host.place("Exhaust_Gas_Temp"), engine1Egt, egtPivot, egtMarks);
}

}  // namespace
