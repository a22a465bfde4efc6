// The turn indicator as the pilot reads it: the needle on the L and R marks
// at the standard rate and on its stops beyond, the ball sideways in its
// curved tube and a little higher on either side.
#include <gtest/gtest.h>

#include <limits>

#include "devhost/core/gauge_instance.h"
#include "devhost/core/host.h"
#include "devhost/core/tooltip_format.h"
#include "tests/module/dial_fixture.h"
#include "precision.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t Ball = 69, TurnRate = 70;
constexpr int BallSlider = 1, TubeMarks = 2, TurnNeedle = 3;
constexpr Point Pivot = {150, 251};
constexpr Point LeftMark = {60, 81}, RightMark = {240, 81};

class TurnCoordinator : public testing::Test {
protected:
    devhost::GaugeSnapshot at(uint32_t var, double value)
    {
        host.variables().set(var, value);
        host.frame();
        return host.probe(turn);
    }

    Host host{devhost::moduleUnderTest()};
    GaugeInstance& turn = host.place("Turn_Coordinator", {}, 300, 300);
};

TEST_F(TurnCoordinator, TheInstrumentIsAChainOfFiveElements)
{
    auto shown = at(TurnRate, 0);
    ASSERT_EQ(shown.elements.size(), 5u);
    const int bitmaps[] = {440, 460, 470, 450, 480};
    const uint32_t flags[] = {0x4003, 0x4083, 0x4003, 0x4083, 0x0003};
    const ElementKind kinds[] = {StaticImage, Slider, Icon, Needle, StaticImage};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(shown.elements[i].depth, i);
        EXPECT_EQ(shown.elements[i].bitmap, bitmaps[i]);
        EXPECT_EQ(shown.elements[i].imageFlags, flags[i]);
        EXPECT_EQ(shown.elements[i].kind, kinds[i]);
    }
    EXPECT_EQ(shown.elements[TubeMarks].frame, 0) << "the tube marks always show their only frame";
}

TEST_F(TurnCoordinator, AtTheStandardRateTheNeedleIsOnItsMark)
{
    auto right = at(TurnRate, 1152);
    EXPECT_EQ(right.elements[TurnNeedle].value, 4.5);
    EXPECT_TRUE(pointsAt(right.elements[TurnNeedle].angle, Pivot, RightMark));
    EXPECT_TRUE(pointsAt(at(TurnRate, -1152).elements[TurnNeedle].angle, Pivot, LeftMark));
    auto straight = at(TurnRate, 0);
    EXPECT_NEEDLE_TURN_NEAR(angleBetween(straight.elements[TurnNeedle].angle, -90.0), 1e-9) << "upright";
    EXPECT_TRUE(pointsBetween(at(TurnRate, 512).elements[TurnNeedle].angle, Pivot, {150, 81}, RightMark))
        << "a gentle right turn: right of upright, short of R";
}

TEST_F(TurnCoordinator, BeyondTheMarksTheNeedleRestsOnItsStops)
{
    for (double left : {-1280.0, -1400.0, -1e300})
        EXPECT_TRUE(pointsAt(at(TurnRate, left).elements[TurnNeedle].angle, Pivot, LeftMark)) << left;
    for (double right : {1280.0, 5000.0, 1e300})
        EXPECT_TRUE(pointsAt(at(TurnRate, right).elements[TurnNeedle].angle, Pivot, RightMark)) << right;
    for (double nonsense : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(at(TurnRate, nonsense).elements[TurnNeedle].value, 0.0) << nonsense;
}

TEST_F(TurnCoordinator, TheBallMovesSidewaysAndRisesAlikeOnEitherSide)
{
    for (double deflection : {20.0, -20.0}) {
        auto shown = at(Ball, deflection);
        EXPECT_NEEDLE_EQ(shown.elements[BallSlider].xOffset, deflection > 0 ? 11.5625 : -11.5625);
        EXPECT_NEEDLE_EQ(shown.elements[BallSlider].yOffset, -0.09765625) << "higher on either side";
    }
    auto centred = at(Ball, 0);
    EXPECT_EQ(centred.elements[BallSlider].xOffset, 0.0);
    EXPECT_EQ(centred.elements[BallSlider].yOffset, 0.0);
}

TEST_F(TurnCoordinator, TheHostSuppliesTheTooltip)
{
    EXPECT_EQ(host.hoverGaugePixel(turn, {150, 150}), devhost::hostHelpText(12432));
    EXPECT_FALSE(host.clickGaugePixel(turn, {150, 150}).hit);
}

}  // namespace
