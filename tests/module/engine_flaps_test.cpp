// The flaps indicator through the development host: a needle that lags the
// host's flaps position by one eighth of the gap per frame, and a tooltip in
// whole degrees of flap.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "tests/module/dial_fixture.h"
#include "precision.h"

namespace {

constexpr uint32_t flapsVar = 330;
constexpr Point pivot = {59, 100};
constexpr double fullFlaps = 16382;
constexpr int settled = 300;  // frames after which 0.875^n of any step is far below one host unit

class FlapsIndicator : public DialTest {
protected:
    double showAfter(int frames, double flaps)
    {
        host.variables().set(flapsVar, flaps);
        host.frame(frames);
        return shown(gauge).value;
    }
    static std::string degrees(int whole)
    {
        return "Flaps position indicator (" + std::to_string(whole) + "\xB0)";  // the host's code page
    }

    devhost::GaugeInstance& gauge = host.place("Flaps_Indicator");
};

TEST_F(FlapsIndicator, TheFirstFrameAfterFullFlapsClosesAnEighthOfTheGap)
{
    EXPECT_EQ(showAfter(1, fullFlaps), 2047.75);
    EXPECT_EQ(tooltip(gauge), degrees(6));
}

TEST_F(FlapsIndicator, BeforeAnyFrameTheTooltipPrintsZero)
{
    host.variables().set(flapsVar, fullFlaps);
    EXPECT_EQ(tooltip(gauge), degrees(0));
}

TEST_F(FlapsIndicator, HalfTheStepAfterSixFramesNineTenthsAfterEighteen)
{
    EXPECT_LT(showAfter(5, fullFlaps), fullFlaps / 2);
    EXPECT_GT(showAfter(1, fullFlaps), fullFlaps / 2);
    EXPECT_LT(showAfter(11, fullFlaps), 0.9 * fullFlaps);
    EXPECT_GT(showAfter(1, fullFlaps), 0.9 * fullFlaps);
}

TEST_F(FlapsIndicator, SteadyFullFlapsSettleOnAufAndPrintFifty)
{
    EXPECT_NEEDLE_NEAR(showAfter(settled, fullFlaps), fullFlaps, 1e-9);
    EXPECT_TRUE(pointsAt(shown(gauge).angle, pivot, {117, 171}));
    EXPECT_EQ(tooltip(gauge), degrees(50)) << "50.006 truncated";
}

TEST_F(FlapsIndicator, DegreesAreTruncatedNotRounded)
{
    EXPECT_NEEDLE_EQ(showAfter(1, 8 * 3275.9), 3275.9);
    EXPECT_EQ(tooltip(gauge), degrees(9)) << "9.9997 prints 9, not 10";
}

TEST_F(FlapsIndicator, RaisedFlapsDecayByAFactorOf0875PerFrame)
{
    double before = showAfter(settled, fullFlaps);
    for (int frame = 0; frame < 10; ++frame) {
        double now = showAfter(1, 0);
        EXPECT_NEEDLE_EQ(now, 0.875 * before);
        before = now;
    }
    EXPECT_NEEDLE_NEAR(showAfter(settled, 0), 0.0, 1e-9);
    EXPECT_TRUE(pointsAt(shown(gauge).angle, pivot, {124, 41})) << "ZU";
}

TEST_F(FlapsIndicator, AnUnreadableFlapsPositionHoldsTheNeedleAndNeverSpoilsTheLag)
{
    showAfter(settled, 9830);
    for (double broken : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()}) {
        EXPECT_NEEDLE_NEAR(showAfter(3, broken), 9830, 1e-6) << broken;
        EXPECT_EQ(tooltip(gauge), degrees(30)) << broken;
    }
    EXPECT_NEEDLE_NEAR(showAfter(1, fullFlaps), 9830 + (fullFlaps - 9830) / 8, 1e-6) << "the lag goes on from where it held";
}

TEST_F(FlapsIndicator, TheNeedleSettlesOnEachMarkOfItsScale)
{
    std::vector<Mark> marks;
    for (auto [flaps, point] : {std::pair{0.0, Point{124, 41}}, {3276.0, {141, 63}}, {6553.0, {150, 90}},
                                {9830.0, {150, 123}}, {13107.0, {138, 151}}, {16382.0, {117, 171}}})
        marks.push_back({flaps, flaps, point});
    expectLandsOnEachMark(gauge, flapsVar, pivot, marks, settled);
}

}  // namespace
