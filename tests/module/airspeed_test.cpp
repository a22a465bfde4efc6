// The airspeed indicator as the pilot reads it: km/h on the metric dial
// (across the blade between the two 400 marks, to the stop past 1000),
// knots on the British overlay, the unused needle hidden and at rest.
#include <gtest/gtest.h>

#include <limits>

#include "devhost/core/gauge_instance.h"
#include "devhost/core/host.h"
#include "devhost/core/tooltip_format.h"
#include "tests/module/dial_fixture.h"
#include "tests/module/switch_support.h"
#include "precision.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t Airspeed = 61;
constexpr int KmhFace = 0, KnotsFace = 1, KmhNeedle = 2, KnotsNeedle = 3, Bezel = 4, Blade = 5;
constexpr Point Pivot = {150, 151};

class AirspeedIndicator : public testing::Test {
protected:
    void SetUp() override
    {
        moduletest::playIntoNothing();
        host = std::make_unique<Host>(devhost::moduleUnderTest());
        dial = &host->place("Airspeed", {}, 300, 330);
    }

    devhost::GaugeSnapshot at(double knots)
    {
        host->variables().set(Airspeed, knots);
        host->frame();
        return host->probe(*dial);
    }

    void goBritish()
    {
        GaugeInstance& lever = host->place("Metric_Switch", {}, 96, 44);
        ASSERT_TRUE(host->click(lever, 48, 22).handled);
    }

    std::unique_ptr<Host> host;
    GaugeInstance* dial = nullptr;
};

TEST_F(AirspeedIndicator, TheDialIsAChainOfSixElements)
{
    auto shown = at(0);
    ASSERT_EQ(shown.elements.size(), 6u);
    const int bitmaps[] = {290, 320, 300, 300, 310, 330};
    const uint32_t flags[] = {0x4003, 0x4003, 0x4083, 0x4083, 0x0003, 0x4003};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(shown.elements[i].depth, i) << "each element is the child of the one before";
        EXPECT_EQ(shown.elements[i].bitmap, bitmaps[i]);
        EXPECT_EQ(shown.elements[i].imageFlags & ~ImageHidden, flags[i]);
    }
    EXPECT_EQ(shown.elements[KmhFace].kind, StaticImage);
    EXPECT_EQ(shown.elements[KmhNeedle].kind, Needle);
    EXPECT_EQ(shown.elements[Bezel].kind, StaticImage);
}

TEST_F(AirspeedIndicator, MetricAtHundredKnotsReadsTheDialsOwnKmh)
{
    auto shown = at(100);
    EXPECT_NEEDLE_NEAR(shown.elements[KmhNeedle].value, 185.12821, 1e-9) << "1.8512821 km/h per knot, not 1.852";
    EXPECT_FALSE(shown.elements[KmhNeedle].hidden);
    EXPECT_TRUE(pointsBetween(shown.elements[KmhNeedle].angle, Pivot, {125, 262}, {43, 151}))
        << "past the 100 mark, short of the 300 mark";
    EXPECT_TRUE(shown.elements[KnotsNeedle].hidden);
    EXPECT_EQ(shown.elements[KnotsNeedle].value, 0.0);
    EXPECT_FALSE(shown.elements[KnotsFace].frame) << "knots face not drawn";
    EXPECT_EQ(shown.elements[Blade].frame, 0) << "blade over the gap";
}

TEST_F(AirspeedIndicator, BetweenTheTwo400MarksTheNeedleCrossesTheGapUnderTheBlade)
{
    for (double knots : {215.0, 216.0, 217.0}) {
        auto shown = at(knots);
        EXPECT_GT(shown.elements[KmhNeedle].value, 398.0) << knots;
        EXPECT_LT(shown.elements[KmhNeedle].value, 402.0) << knots;
        EXPECT_TRUE(pointsBetween(shown.elements[KmhNeedle].angle, Pivot, {59, 98}, {86, 69})) << knots;
    }
    EXPECT_NEEDLE_NEAR(at(214.9).elements[KmhNeedle].value, 397.84, 0.01) << "just short of the gap";
    EXPECT_NEEDLE_NEAR(at(217.1).elements[KmhNeedle].value, 401.91, 0.01) << "just across it";
}

TEST_F(AirspeedIndicator, PastThousandKmhTheNeedleRestsAtTheStop)
{
    for (double knots : {541.0, 600.0, 5000.0, 1e300})
        EXPECT_TRUE(pointsAt(at(knots).elements[KmhNeedle].angle, Pivot, {176, 260})) << knots;
}

TEST_F(AirspeedIndicator, AnAirspeedThatIsNoNumberRestsTheNeedleAtZero)
{
    for (double nonsense : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()}) {
        auto shown = at(nonsense);
        EXPECT_EQ(shown.elements[KmhNeedle].value, 0.0) << nonsense;
        EXPECT_TRUE(pointsAt(shown.elements[KmhNeedle].angle, Pivot, {150, 264})) << nonsense;
    }
    goBritish();
    EXPECT_EQ(at(std::numeric_limits<double>::quiet_NaN()).elements[KnotsNeedle].value, 0.0);
}

TEST_F(AirspeedIndicator, BritishAtThreeHundredKnotsShowsTheKnotsDial)
{
    goBritish();
    auto shown = at(300);
    EXPECT_FALSE(shown.elements[KnotsNeedle].hidden);
    EXPECT_EQ(shown.elements[KnotsNeedle].value, 300.0);
    EXPECT_TRUE(pointsBetween(shown.elements[KnotsNeedle].angle, Pivot, {172, 47}, {150, 252}))
        << "past the 50 knots mark, short of 350 at the bottom";
    EXPECT_EQ(shown.elements[KnotsFace].frame, 0) << "the knots face covers the km/h face";
    EXPECT_FALSE(shown.elements[Blade].frame) << "no blade on the knots dial";
    EXPECT_TRUE(shown.elements[KmhNeedle].hidden);
    EXPECT_EQ(shown.elements[KmhNeedle].value, 0.0) << "the hidden needle is held at rest";
}

TEST_F(AirspeedIndicator, BritishPast650KnotsTheNeedleRestsJustLeftOfTheTop)
{
    goBritish();
    for (double knots : {651.0, 700.0, 900.0, 1e300})
        EXPECT_TRUE(pointsAt(at(knots).elements[KnotsNeedle].angle, Pivot, {129, 49})) << knots;
}

TEST_F(AirspeedIndicator, TheTwoHalvesCarryTheHostsTooltipsAndNothingIsClickable)
{
    EXPECT_EQ(host->hover(*dial, 150, 60), devhost::hostHelpText(12290));
    EXPECT_EQ(host->hover(*dial, 150, 250), devhost::hostHelpText(12289));
    EXPECT_NE(devhost::hostHelpText(12290), devhost::hostHelpText(12289));
    auto click = host->click(*dial, 150, 150);
    EXPECT_FALSE(click.handled);
    EXPECT_TRUE(host->events().empty());
}

}  // namespace
