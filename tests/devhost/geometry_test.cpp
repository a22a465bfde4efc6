// Where the host draws needles, icons, sliders, moving images and sprites.
#include "devhost/core/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace devhost {
namespace {

using Table = std::vector<CalibrationPoint>;

CalibrationPoint at(int x, int y, double value)
{
    return {.point = {x, y}, .value = value};
}

constexpr double Down = 90, Left = 180, Up = 270, Right = 0;
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

// The angles compared on the circle, so that 359.9999 and 0 are neighbours.
::testing::AssertionResult sameDirection(double actual, double expected, double tolerance = 1e-6)
{
    double difference = std::fabs(std::remainder(actual - expected, 360.0));
    if (difference <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " degrees, expected " << expected;
}

const Table metreNeedle = {at(150, 260, 0), at(150, 40, 500)};  // the altimeter's, one turn per 1000 m
const Point dialCentre{150, 150};

TEST(HalfTurnTable, TurnsOnceFor1000MetresAndAsOftenAsTheAltitudeDemands)
{
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, 0), Down));
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, 250), Left));
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, 500), Up));
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, 750), Right));
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, 1000), Down));
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, 10250), Left)) << "ten turns and a quarter";
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, 990.83), Down - 9.17 * 0.36, 1e-9))
        << "just before the bottom after nearly one turn";
}

TEST(HalfTurnTable, TurnsBackBelowItsFirstPoint)
{
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, -250), Right));
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, -1000), Down));
}

TEST(HalfTurnTable, ClockHandsTurnThroughTheSecondsOfTheDay)
{
    const Table hourHand = {at(138, 39, 0), at(138, 239, 21600)};
    const Point pivot{138, 139};
    EXPECT_TRUE(sameDirection(needleAngle(hourHand, pivot, 12 * 3600), Up)) << "noon";
    EXPECT_TRUE(sameDirection(needleAngle(hourHand, pivot, 15 * 3600), Right)) << "three o'clock";
    EXPECT_TRUE(sameDirection(needleAngle(hourHand, pivot, 21 * 3600), Left)) << "nine in the evening";
}

TEST(RepeatedPoints, HoldTheNeedleOverTheirRange)
{
    const Table hundreds = {at(150, 100, -1), at(150, 100, 0), at(150, 200, 500)};
    EXPECT_TRUE(sameDirection(needleAngle(hundreds, dialCentre, -0.5), Up));
    EXPECT_TRUE(sameDirection(needleAngle(hundreds, dialCentre, -50), Up)) << "negative altitudes rest at 0";
    EXPECT_TRUE(sameDirection(needleAngle(hundreds, dialCentre, 250), Right));

    const Table kmh = {at(150, 264, 0), at(125, 262, 100), at(43, 151, 300), at(59, 98, 398), at(86, 69, 402),
                       at(150, 47, 500), at(209, 60, 600), at(255, 116, 700), at(255, 181, 800),
                       at(223, 230, 900), at(176, 260, 1000), at(176, 260, 1100)};
    const Point hub{150, 151};
    double stop = needleAngle(kmh, hub, 1000);
    EXPECT_TRUE(sameDirection(needleAngle(kmh, hub, 1100), stop));
    EXPECT_TRUE(sameDirection(needleAngle(kmh, hub, 5000), stop)) << "past the end stop the needle rests on it";
}

TEST(TablePoints, NeedlePointsAtEachPointForItsValue)
{
    const Table tach = {at(118, 241, 0), at(81, 224, 21), at(63, 205, 32), at(44, 154, 54), at(47, 120, 65),
                        at(150, 42, 98), at(188, 56, 109), at(225, 73, 120), at(252, 148, 142)};
    const Point hub{150, 148};
    for (const auto& p : tach) {
        double expected = std::atan2(p.point.y - hub.y, p.point.x - hub.x) * 180 / M_PI;
        EXPECT_TRUE(sameDirection(needleAngle(tach, hub, p.value), expected)) << "value " << p.value;
    }
}

TEST(Interpolation, GoesClockwiseEvenAcrossZeroDegrees)
{
    // 350 degrees to 10 degrees: the short way clockwise passes through 0.
    const Point pivot{0, 0};
    const Table table = {at(985, -174, 0), at(985, 174, 20)};
    EXPECT_TRUE(sameDirection(needleAngle(table, pivot, 10), 0, 0.01));
    EXPECT_TRUE(sameDirection(needleAngle(table, pivot, 5), 355, 0.01));
}

TEST(Interpolation, TwoPointsInOneDirectionMakeAFullTurn)
{
    const Table table = {at(150, 100, 0), at(150, 50, 10)};
    EXPECT_TRUE(sameDirection(needleAngle(table, dialCentre, 5), Down));
    EXPECT_TRUE(sameDirection(needleAngle(table, dialCentre, 2.5), Right));
}

TEST(DescendingTable, LandingIndicatorGlidePathNeedleLowersItsTipForPositiveValues)
{
    const Table glide = {at(44, 134, 120), at(44, 101, 0), at(44, 68, -120)};
    const Point pivot{148, 101};
    const double towardBottom = std::atan2(33.0, -104.0) * 180 / M_PI;  // 162.4: tip down and left
    EXPECT_TRUE(sameDirection(needleAngle(glide, pivot, 0), Left));
    EXPECT_TRUE(sameDirection(needleAngle(glide, pivot, 120), towardBottom));
    EXPECT_TRUE(sameDirection(needleAngle(glide, pivot, -120), 360 - towardBottom));
    EXPECT_TRUE(sameDirection(needleAngle(glide, pivot, 60), (towardBottom + Left) / 2));
    // Beyond either end the nearest segment's rate continues.
    EXPECT_TRUE(sameDirection(needleAngle(glide, pivot, 240), 2 * towardBottom - Left));
    EXPECT_TRUE(sameDirection(needleAngle(glide, pivot, -240), 360 - (2 * towardBottom - Left)));
}

TEST(DescendingTable, LandingIndicatorCourseNeedleSwingsRightForPositiveValues)
{
    const Table course = {at(129, 150, 127), at(67, 150, -127)};
    const Point pivot{98, 52};
    const double right = std::atan2(98.0, 31.0) * 180 / M_PI;  // 72.4
    EXPECT_TRUE(sameDirection(needleAngle(course, pivot, 127), right));
    EXPECT_TRUE(sameDirection(needleAngle(course, pivot, 0), Down));
    EXPECT_TRUE(sameDirection(needleAngle(course, pivot, -127), 180 - right));
}

TEST(ExtendedTable, AdfHomingNeedlePointsAt370LikeAt10)
{
    const Table homing = {at(73, 67, 340), at(150, 52, 360), at(227, 67, 380)};
    const Point pivot{150, 279};
    EXPECT_TRUE(sameDirection(needleAngle(homing, pivot, 360), Up));
    EXPECT_TRUE(sameDirection(needleAngle(homing, pivot, 370), Up + 10, 0.05));
    // Below 340 the first segment's rate (very nearly one degree per unit) goes on.
    EXPECT_TRUE(sameDirection(needleAngle(homing, pivot, 10), Up + 10, 1.0));
    const Table fullCircle = {at(150, 50, 0), at(150, 250, 180)};
    EXPECT_TRUE(sameDirection(needleAngle(fullCircle, dialCentre, 370), needleAngle(fullCircle, dialCentre, 10)));
    EXPECT_TRUE(sameDirection(needleAngle(fullCircle, dialCentre, 90), Right));
}

TEST(NonFiniteValues, PointTheNeedleAtTheFirstPoint)
{
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, NaN), Down));
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, Inf), Down));
    EXPECT_TRUE(sameDirection(needleAngle(metreNeedle, dialCentre, -Inf), Down));
    double huge = needleAngle(metreNeedle, dialCentre, 1e300);
    EXPECT_TRUE(huge >= 0 && huge < 360);
}

TEST(TablelessNeedle, TurnsByTheValueItself)
{
    EXPECT_DOUBLE_EQ(needleAngle({}, dialCentre, 30), 30);
    EXPECT_DOUBLE_EQ(needleAngle({}, dialCentre, -30), 330);
    EXPECT_DOUBLE_EQ(needleAngle({}, dialCentre, NaN), 0);
}

// The wrap into [0, 360) is fmod's to the last bit, sign of zero included,
// at the edges of the turns where plain arithmetic could round.
TEST(TablelessNeedle, WrapsExactlyAsTheRemainderOfWholeTurns)
{
    for (double value : {359.99999999999994, 360.0, 720.0, std::nextafter(720.0, 0.0), 1e6 + 1e-7, 0x1p40 - 1,
                         0x1p40, 1e300, -0.0, -360.0, -720.0, std::nextafter(-720.0, 0.0), -1e6 - 1e-7, -0x1p40}) {
        double expected = std::fmod(value, 360.0);
        if (expected < 0)
            expected += 360.0;
        if (expected >= 360.0)
            expected = 0.0;
        const double angle = needleAngle({}, dialCentre, value);
        EXPECT_EQ(std::signbit(angle), std::signbit(expected)) << value;
        EXPECT_EQ(angle, expected) << value;
    }
}

// A placed needle keeps its sweeps only while its records stay as they were.
TEST(KeptSweeps, DescribeOnlyTheTableAndPositionTheyWereWorkedOutFor)
{
    Table table = {{{200, 100}, 0, 0}, {{100, 200}, 10, 0}};
    const NeedleSweep sweep(table, dialCentre);
    EXPECT_TRUE(sweep.describes(table, dialCentre));
    EXPECT_FALSE(sweep.describes(table, Point{dialCentre.x + 1, dialCentre.y}));
    Table copy = table;
    EXPECT_FALSE(sweep.describes(copy, dialCentre)) << "another table with the same points";
    table[1].point.x = 101;
    EXPECT_FALSE(sweep.describes(table, dialCentre));
    EXPECT_FALSE(sweep.describes(std::span(table).first(1), dialCentre));
}

TEST(Icons, TheValueSelectsAFrameAndMinusOneSelectsNone)
{
    EXPECT_EQ(iconFrame(0.0, 2), 0);
    EXPECT_EQ(iconFrame(1.0, 2), 1);
    EXPECT_EQ(iconFrame(-1.0, 2), std::nullopt);
    EXPECT_EQ(iconFrame(2.0, 2), std::nullopt);
    EXPECT_EQ(iconFrame(3.0, 4), 3);
    EXPECT_EQ(iconFrame(NaN, 4), std::nullopt);
    EXPECT_EQ(iconFrame(1e300, 4), std::nullopt);
    EXPECT_EQ(iconFrame(0.0, 0), std::nullopt);
}

TEST(MovingImages, MapTheRangeOntoTheStripAndClampOutsideIt)
{
    // The altimeter's millibar tape runs from 1050 at its left end to 930.
    EXPECT_DOUBLE_EQ(movingImageOffset(1050, 1050, 930, 775, 56), 0);
    EXPECT_DOUBLE_EQ(movingImageOffset(930, 1050, 930, 775, 56), 719);
    EXPECT_DOUBLE_EQ(movingImageOffset(990, 1050, 930, 775, 56), 359.5);
    EXPECT_DOUBLE_EQ(movingImageOffset(900, 1050, 930, 775, 56), 719);
    // A transponder wheel: digit 7 of 0..10, 18 pixels a digit.
    EXPECT_DOUBLE_EQ(movingImageOffset(7, 0, 10, 198, 18), 126);
    EXPECT_DOUBLE_EQ(movingImageOffset(NaN, 0, 10, 198, 18), 0);
    EXPECT_DOUBLE_EQ(movingImageOffset(Inf, 0, 10, 198, 18), 180);
    EXPECT_DOUBLE_EQ(movingImageOffset(5, 3, 3, 198, 18), 0) << "an empty range";
    EXPECT_DOUBLE_EQ(movingImageOffset(5, 0, 10, 10, 18), 0) << "a window wider than its strip";
}

TEST(SlidersAndSprites, ScaleTheValueAndDropNonFiniteResults)
{
    EXPECT_DOUBLE_EQ(sliderOffset(20, 0.3359375), 6.71875);
    EXPECT_DOUBLE_EQ(sliderOffset(NaN, 1.0), 0);
    EXPECT_DOUBLE_EQ(sliderOffset(1e308, 1e10), 0);
    EXPECT_DOUBLE_EQ(spriteRotation(0.02, 90.0), 1.8);
    EXPECT_DOUBLE_EQ(spriteRotation(-Inf, 9.0), 0);
}

}  // namespace
}  // namespace devhost
