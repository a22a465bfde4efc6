// The artificial horizon as the pilot reads it: the bar with pitch and
// bank, the bank pointer, the ball in its curved tube, the warning flag
// from the host's two gyro flags, and the caging ring that a click on its
// grip turns through the host.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "devhost/core/gauge_instance.h"
#include "devhost/core/host.h"
#include "devhost/core/tooltip_format.h"
#include "tests/module/dial_fixture.h"
#include "precision.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t Ball = 69, Pitch = 78, Bank = 80, GyroFailure = 276, GyroWarning = 279, GyroCaged = 825;
constexpr int BallSlider = 1, HorizonBar = 2, BankPointer = 3, WarningFlag = 5, FreeRing = 7;
constexpr Point Centre = {155, 152};
constexpr Point BankRight = {205, 152}, BankLeft = {105, 152};   // the pointer's -90 and +90 points
constexpr Point Grip = {150, 285};
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

class ArtificialHorizon : public testing::Test {
protected:
    devhost::GaugeSnapshot at(uint32_t var, double value)
    {
        host.variables().set(var, value);
        return nextFrame();
    }

    devhost::GaugeSnapshot nextFrame()
    {
        host.frame();
        return host.probe(horizon);
    }

    Host host{devhost::moduleUnderTest()};
    GaugeInstance& horizon = host.place("Artificial_Horizon", {}, 304, 304);
};

TEST_F(ArtificialHorizon, TheInstrumentIsAChainOfEightElements)
{
    auto shown = nextFrame();
    ASSERT_EQ(shown.elements.size(), 8u);
    const int bitmaps[] = {1000, 1060, 1010, 1020, 1030, 1050, 1040, 1070};
    const uint32_t flags[] = {0x4003, 0x4083, 0x4083, 0x4083, 0x4003, 0x4003, 0x0003, 0x0003};
    const ElementKind kinds[] = {StaticImage, Slider, Sprite, Needle, StaticImage, Icon, StaticImage, Icon};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(shown.elements[i].depth, i) << "each element is the child of the one before";
        EXPECT_EQ(shown.elements[i].bitmap, bitmaps[i]);
        EXPECT_EQ(shown.elements[i].imageFlags, flags[i]);
        EXPECT_EQ(shown.elements[i].kind, kinds[i]);
    }
}

TEST_F(ArtificialHorizon, TheBallMovesSidewaysAndRisesAlikeOnEitherSide)
{
    auto centred = at(Ball, 0);
    EXPECT_EQ(centred.elements[BallSlider].xOffset, 0.0);
    EXPECT_EQ(centred.elements[BallSlider].yOffset, 0.0);
    for (double deflection : {20.0, -20.0}) {
        auto shown = at(Ball, deflection);
        EXPECT_NEEDLE_EQ(shown.elements[BallSlider].xOffset, deflection * 0.3359375);
        EXPECT_NEEDLE_NEAR(std::abs(shown.elements[BallSlider].xOffset), 6.72, 0.005) << "6.72 pixels to the side";
        EXPECT_NEEDLE_NEAR(shown.elements[BallSlider].yOffset, -0.146, 0.001) << "higher, with the tube's curve";
        EXPECT_NEEDLE_EQ(shown.elements[BallSlider].yOffset, -400 * 0.0003662109375);
    }
    for (double nonsense : {NaN, 1e300})
        EXPECT_EQ(at(Ball, nonsense).elements[BallSlider].yValue, 0.0) << nonsense;
}

TEST_F(ArtificialHorizon, ThePitchStopsTheBarAtSixtyDegrees)
{
    EXPECT_EQ(at(Pitch, 75).elements[HorizonBar].yOffset, 60.0);
    EXPECT_EQ(at(Pitch, 60).elements[HorizonBar].yOffset, 60.0);
    EXPECT_EQ(at(Pitch, -60).elements[HorizonBar].yOffset, -60.0) << "a limit passes unchanged";
    EXPECT_EQ(at(Pitch, -90).elements[HorizonBar].yOffset, -60.0);
    EXPECT_EQ(at(Pitch, 12.5).elements[HorizonBar].yOffset, 12.5);
    EXPECT_EQ(at(Pitch, NaN).elements[HorizonBar].yOffset, 0.0) << "a pitch that is no number shows level";
}

TEST_F(ArtificialHorizon, InABankTheBarAndThePointerTurnTogether)
{
    auto level = at(Bank, 0);
    EXPECT_EQ(level.elements[HorizonBar].rotation, 0.0);
    EXPECT_TRUE(pointsAt(level.elements[BankPointer].angle, Centre, {155, 202})) << "straight down";

    auto banked = at(Bank, 30);
    EXPECT_EQ(banked.elements[HorizonBar].rotation, -30.0) << "the bar turns by minus the bank";
    const double pointer = directionTo(Centre, BankRight) + 180.0 * (30 + 90) / 180;
    EXPECT_NEEDLE_TURN_NEAR(angleBetween(banked.elements[BankPointer].angle, pointer), 1e-9);
    EXPECT_NEEDLE_NEAR(angleBetween(banked.elements[BankPointer].angle, level.elements[BankPointer].angle),
                -banked.elements[HorizonBar].rotation, 1e-9)
        << "the pointer turns clockwise as far as the bar, whose rotation counts counter-clockwise";

    EXPECT_TRUE(pointsAt(at(Bank, 90).elements[BankPointer].angle, Centre, BankLeft));
    EXPECT_TRUE(pointsAt(at(Bank, -90).elements[BankPointer].angle, Centre, BankRight));
}

TEST_F(ArtificialHorizon, EitherGyroFlagRaisesTheWarningFlag)
{
    EXPECT_FALSE(nextFrame().elements[WarningFlag].frame) << "both zero: hidden";
    host.variables().setInteger(GyroWarning, 1);
    EXPECT_EQ(nextFrame().elements[WarningFlag].frame, 0);
    host.variables().setInteger(GyroWarning, 0);
    host.variables().setInteger(GyroFailure, 0x80000000u);
    EXPECT_EQ(nextFrame().elements[WarningFlag].frame, 0);
    host.variables().setInteger(GyroFailure, 0);
    EXPECT_FALSE(nextFrame().elements[WarningFlag].frame);
}

TEST_F(ArtificialHorizon, TheFreeRingShowsWhileTheHostReportsTheGyroFree)
{
    EXPECT_EQ(at(GyroCaged, 0).elements[FreeRing].frame, 0) << "Los at the mark";
    for (double caged : {1.0, -1.0, 0.5, NaN})
        EXPECT_FALSE(at(GyroCaged, caged).elements[FreeRing].frame) << caged << ": the face's Fest ring shows";
}

TEST_F(ArtificialHorizon, AClickOnTheGripCagesTheGyroAndTheRingFollowsNextFrame)
{
    ASSERT_EQ(at(GyroCaged, 0).elements[FreeRing].frame, 0);
    auto click = host.clickGaugePixel(horizon, Grip);
    EXPECT_TRUE(click.hit);
    EXPECT_FALSE(click.handled) << "no handler of the module: the host sends the event";
    EXPECT_EQ(click.keyEvent, 66373u);
    ASSERT_EQ(host.events().size(), 1u);
    EXPECT_EQ(host.events()[0].id, 66373u);
    EXPECT_EQ(host.probe(horizon).elements[FreeRing].frame, 0) << "until the next frame";
    EXPECT_FALSE(nextFrame().elements[FreeRing].frame);

    host.clickGaugePixel(horizon, Grip);
    EXPECT_EQ(nextFrame().elements[FreeRing].frame, 0) << "freed again";
    EXPECT_FALSE(host.clickGaugePixel(horizon, Grip, ClickRight).hit) << "left clicks only";
}

TEST_F(ArtificialHorizon, TooltipsOfTheWindowTheTubeAndTheGrip)
{
    EXPECT_EQ(host.hoverGaugePixel(horizon, {150, 100}), devhost::hostHelpText(12434));
    EXPECT_EQ(host.hoverGaugePixel(horizon, Grip), "Turns caging ring");
    EXPECT_EQ(host.hoverGaugePixel(horizon, {100, 240}), devhost::hostHelpText(43873)) << "the tube's own region";
    EXPECT_FALSE(host.clickGaugePixel(horizon, {100, 240}).hit) << "the tube is not clickable";
}

}  // namespace
