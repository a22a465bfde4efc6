// The bearing indicator's needles: the homing arc, the folding of negative
// bearings, and what a bearing that is no number shows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "instruments/flight/adf_bearing.h"

namespace {

// Adding 360 until the bearing is no longer negative, for bearings where
// that ends soon.
double foldedByHand(double a)
{
    while (a < 0.0)
        a += 360.0;
    return a;
}

TEST(AdfBearingFolding, FoldsOrdinaryNegativeBearingsAsAddingTurnsWould)
{
    for (double b = -1440.0; b <= 720.0; b += 0.25)
        ASSERT_EQ(nonNegativeBearing(b), foldedByHand(b)) << b;
    EXPECT_FALSE(std::signbit(nonNegativeBearing(-360.0))) << "-360 folds to 0, not -0";
}

TEST(AdfBearingFolding, AHugeNegativeBearingFoldsAtOnce)
{
    double folded = nonNegativeBearing(-1e300);
    EXPECT_GE(folded, 0.0);
    EXPECT_LT(folded, 360.0);
    EXPECT_EQ(nonNegativeBearing(-1e-20), 360.0) << "as 360 added to it rounds";
}

TEST(AdfHoming, WithinTwentyDegreesTheNeedleFollowsElseItRestsOnTheStationsSide)
{
    EXPECT_EQ(homingBearing(-10), 350);
    EXPECT_EQ(homingBearing(10), 10);
    EXPECT_EQ(homingBearing(20), 20);
    EXPECT_EQ(homingBearing(20.5), 20);
    EXPECT_EQ(homingBearing(180), 20);
    EXPECT_EQ(homingBearing(180.5), 340);
    EXPECT_EQ(homingBearing(339.5), 340);
    EXPECT_EQ(homingBearing(340), 340);
    EXPECT_EQ(homingBearing(370), 370) << "not reduced: points like 10";
}

TEST(AdfHoming, ABearingThatIsNoFiniteNumberShowsNoBearing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (double b : {nan, inf, -inf}) {
        EXPECT_EQ(homingBearing(b), HomingRest) << b;
        EXPECT_EQ(fullCircleBearing(b), FullCircleRest) << b;
    }
    EXPECT_EQ(fullCircleBearing(-10), -10);
}

}  // namespace
