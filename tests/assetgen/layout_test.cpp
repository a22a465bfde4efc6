// Where the artwork puts a mark: the direction in which the host will turn
// a needle for a value, and which record that direction is read from.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>

#include "tools/assetgen/layout.h"

namespace {

using assetgen::ElementInfo;
using assetgen::Layout;
using assetgen::needleAngle;

// Directions compared modulo whole turns.
double turnsApart(double a, double b)
{
    double d = std::fmod(a - b, 360.0);
    return std::min(std::abs(d), 360.0 - std::abs(d));
}

// The module's records as the generator reads them: the definitions-only
// build, which carries every table and no artwork.
const LinkageRecord* definitions()
{
    static void* module = dlopen(VARDEX_DEFINITIONS_MODULE, RTLD_NOW | RTLD_LOCAL);
    return module ? static_cast<const LinkageRecord*>(dlsym(module, "Linkage")) : nullptr;
}

const ElementInfo& recorded(const char* gauge, ElementKind kind, int bitmap, int ordinal = 0)
{
    static const Layout layout(definitions());
    return layout.element(gauge, kind, bitmap, ordinal);
}

TEST(NeedleDirection, PointsAtEachTablePoint)
{
    // The metric vertical-speed needle turns about (150,150).
    const auto& metric = recorded("Vertical_Speed", Needle, 1110, 1);
    auto towards = [](double x, double y) { return std::atan2(y - 150, x - 150) * 180 / M_PI; };
    EXPECT_NEAR(turnsApart(needleAngle(metric, 0), towards(36, 151)), 0, 1e-9) << "level flight at the left";
    EXPECT_NEAR(turnsApart(needleAngle(metric, 2560), towards(137, 40)), 0, 1e-9) << "10 m/s climb";
    EXPECT_NEAR(turnsApart(needleAngle(metric, -5120), towards(187, 256)), 0, 1e-9) << "20 m/s sink";
}

TEST(NeedleDirection, InterpolatesClockwiseBetweenPoints)
{
    const auto& metres = recorded("Altimeter", Needle, 340);
    // 0 at the bottom, 500 at the top: 250 lies halfway round clockwise, at the left.
    EXPECT_NEAR(turnsApart(needleAngle(metres, 250), 180), 0, 1e-9);
    EXPECT_NEAR(turnsApart(needleAngle(metres, 750), 0), 0, 1e-9);
}

TEST(NeedleDirection, KeepsTurningAtTheLastSegmentsRate)
{
    const auto& metres = recorded("Altimeter", Needle, 340);
    EXPECT_NEAR(needleAngle(metres, 1000) - needleAngle(metres, 0), 360, 1e-9) << "one turn per 1000 m";
    EXPECT_NEAR(needleAngle(metres, -250) - needleAngle(metres, 0), -90, 1e-9);
}

TEST(NeedleDirection, RestsOnAStopThatRepeatsAPoint)
{
    // The turn needle's table repeats its end marks as stops at 5 and -5.
    const auto& turn = recorded("Turn_Coordinator", Needle, 450);
    EXPECT_DOUBLE_EQ(needleAngle(turn, 5), needleAngle(turn, 4.5));
    EXPECT_DOUBLE_EQ(needleAngle(turn, 9), needleAngle(turn, 4.5));
    EXPECT_DOUBLE_EQ(needleAngle(turn, -9), needleAngle(turn, -4.5)) << "beyond a stop the needle rests on it";
}

TEST(NeedleDirection, FollowsADescendingTable)
{
    const auto& course = recorded("Landing_Indicator", Needle, 3060);
    EXPECT_NEAR(turnsApart(needleAngle(course, 0), 90), 0, 1e-9) << "no deviation: straight down";
    EXPECT_LT(needleAngle(course, 127), needleAngle(course, -127)) << "a positive deviation swings the tip right";
}

TEST(NeedleDirection, WithoutATableIsTheValueItself)
{
    ElementInfo disc{.kind = Needle, .bitmap = 280};
    EXPECT_DOUBLE_EQ(needleAngle(disc, 30), 30);
}

TEST(LayoutSource, ReadsTheRecordsItIsGiven)
{
    // A module whose airspeed needle has its own table.
    static CalibrationPoint table[] = {{{150, 251}, 0, 0}, {{150, 51}, 500, 0}};
    static GaugeDefinition gauge{};
    static NeedleElement needle{.common = {.kind = Needle, .bitmap = 300, .position = {150, 151}, .gauge = &gauge},
                                .table = table,
                                .pointCount = 2};
    static GaugeElement* children[] = {&needle.common, nullptr};
    static StaticImageElement face{
        .common = {.kind = StaticImage, .bitmap = 290, .gauge = &gauge, .children = children}};
    static GaugeElement* roots[] = {&face.common, nullptr};
    gauge.name = "Airspeed";
    gauge.elements = roots;
    static LinkageRecord linkage{.gauges = {&gauge, nullptr}};

    Layout layout(&linkage);
    const auto& fromModule = layout.element("Airspeed", Needle, 300);
    ASSERT_EQ(fromModule.table.size(), 2u);
    EXPECT_DOUBLE_EQ(fromModule.table[1].value, 500);
    EXPECT_EQ(layout.fromModule().count("Airspeed"), 1u);
    // Nothing else: a gauge the records lack has no layout.
    EXPECT_THROW(layout.element("Altimeter", Needle, 340), std::runtime_error);
}

TEST(LayoutSource, NamesWhatNobodyKnows)
{
    ASSERT_NE(definitions(), nullptr) << dlerror();
    Layout layout(definitions());
    EXPECT_THROW(layout.element("Vertical_Speed", Needle, 999), std::runtime_error);
    EXPECT_THROW(layout.element("Vertical_Speed", Needle, 1110, 2), std::runtime_error) << "only two needles";
}

}  // namespace
