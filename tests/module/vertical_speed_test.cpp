// The vertical-speed indicator as the pilot reads it: m/s on the metric
// face with its hub cover, thousands of feet per minute on the British
// overlay, the needle not in use hidden but still fed the climb rate, and
// both needles resting on their stops beyond the scale.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <span>

#include "devhost/core/gauge_instance.h"
#include "devhost/core/host.h"
#include "devhost/core/tooltip_format.h"
#include "tests/module/dial_fixture.h"
#include "tests/module/switch_support.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t VerticalSpeed = 65;   // 256 per m/s
constexpr int BritishFace = 1, BritishNeedle = 2, MetricNeedle = 3, MetricCover = 4;
constexpr Point Pivot = {150, 150};
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

class VerticalSpeedIndicator : public testing::Test {
protected:
    void SetUp() override
    {
        moduletest::playIntoNothing();
        host = std::make_unique<Host>(devhost::moduleUnderTest());
        dial = &host->place("Vertical_Speed", {}, 300, 330);
    }

    devhost::GaugeSnapshot at(double v)
    {
        host->variables().set(VerticalSpeed, v);
        host->frame();
        return host->probe(*dial);
    }

    void throwUnitsLever() { moduletest::throwUnitsLever(*host); }

    std::span<const CalibrationPoint> table(int element)
    {
        auto& needle = *reinterpret_cast<NeedleElement*>(dial->elements().at(element).element);
        return {needle.table, needle.pointCount};
    }

    std::unique_ptr<Host> host;
    GaugeInstance* dial = nullptr;
};

TEST_F(VerticalSpeedIndicator, TheDialIsAChainOfSixElements)
{
    auto shown = at(0);
    ASSERT_EQ(shown.elements.size(), 6u);
    const int bitmaps[] = {1100, 1140, 1110, 1110, 1130, 1120};
    const uint32_t flags[] = {0x4003, 0x4003, 0x4083, 0x4083, 0x4003, 0x0003};
    const ElementKind kinds[] = {StaticImage, Icon, Needle, Needle, Icon, StaticImage};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(shown.elements[i].depth, i);
        EXPECT_EQ(shown.elements[i].bitmap, bitmaps[i]);
        EXPECT_EQ(shown.elements[i].imageFlags & ~ImageHidden, flags[i]);
        EXPECT_EQ(shown.elements[i].kind, kinds[i]);
    }
}

TEST_F(VerticalSpeedIndicator, TheBritishMarksAreFeetPerMinuteConvertedInTheDialsOwnOrder)
{
    const double printed[] = {-9103.35970869249,  -7802.879750307849, -3901.4398751539243, -2600.9599167692827,
                              -1300.4799583846413, 0,                  1300.4799583846413,  2600.9599167692827,
                              3901.4398751539243, 7802.879750307849,  9103.35970869249};
    auto british = table(BritishNeedle);
    ASSERT_EQ(british.size(), 11u);
    for (size_t i = 0; i < british.size(); ++i)
        EXPECT_EQ(british[i].value, printed[i]) << "point " << i + 1 << ", to the last bit";

    auto metric = table(MetricNeedle);
    ASSERT_EQ(metric.size(), 11u);
    const double metres[] = {-40, -30, -20, -10, -5, 0, 5, 10, 20, 30, 40};
    for (size_t i = 0; i < metric.size(); ++i)
        EXPECT_EQ(metric[i].value, metres[i] * 256) << "point " << i + 1;
}

TEST_F(VerticalSpeedIndicator, MetricAtFiveMetresPerSecondTheNeedleIsOnTheFiveMark)
{
    auto shown = at(1280);
    EXPECT_TRUE(pointsAt(shown.elements[MetricNeedle].angle, Pivot, {75, 68}));
    EXPECT_FALSE(shown.elements[MetricNeedle].hidden);
    EXPECT_TRUE(shown.elements[BritishNeedle].hidden);
    EXPECT_EQ(shown.elements[BritishNeedle].value, 1280.0) << "hidden, but still fed the climb rate";
    EXPECT_EQ(shown.elements[MetricCover].frame, 0) << "the metric hub cover";
    EXPECT_FALSE(shown.elements[BritishFace].frame);
}

TEST_F(VerticalSpeedIndicator, BritishAtAThousandFeetPerMinuteTheNeedleIsOnTheOneMark)
{
    throwUnitsLever();
    auto shown = at(1300.4799583846413);
    EXPECT_TRUE(pointsAt(shown.elements[BritishNeedle].angle, Pivot, {65, 78}));
    EXPECT_FALSE(shown.elements[BritishNeedle].hidden);
    EXPECT_TRUE(shown.elements[MetricNeedle].hidden);
    EXPECT_EQ(shown.elements[MetricNeedle].value, 1300.4799583846413);
    EXPECT_EQ(shown.elements[BritishFace].frame, 0);
    EXPECT_FALSE(shown.elements[MetricCover].frame) << "no metric cover on the British face";
}

TEST_F(VerticalSpeedIndicator, BeyondTheScaleBothNeedlesRestOnTheirStops)
{
    for (double sinking : {-40.0 * 256, -50.0 * 256, -1e300}) {
        auto shown = at(sinking);
        EXPECT_TRUE(pointsAt(shown.elements[MetricNeedle].angle, Pivot, {230, 230})) << sinking;
        EXPECT_TRUE(pointsAt(shown.elements[BritishNeedle].angle, Pivot, {259, 170})) << sinking;
    }
    for (double climbing : {31.0 * 256, 1e300}) {
        auto shown = at(climbing);
        EXPECT_TRUE(pointsAt(shown.elements[MetricNeedle].angle, Pivot, {230, 74})) << climbing;
        EXPECT_TRUE(pointsAt(shown.elements[BritishNeedle].angle, Pivot, {259, 130})) << climbing;
    }
}

TEST_F(VerticalSpeedIndicator, ARateThatIsNoNumberRestsBothNeedlesAtZero)
{
    for (double nonsense : {NaN, std::numeric_limits<double>::infinity()}) {
        auto shown = at(nonsense);
        EXPECT_EQ(shown.elements[MetricNeedle].value, 0.0) << nonsense;
        EXPECT_EQ(shown.elements[BritishNeedle].value, 0.0) << nonsense;
        EXPECT_TRUE(pointsAt(shown.elements[MetricNeedle].angle, Pivot, {36, 151})) << nonsense;
    }
}

TEST_F(VerticalSpeedIndicator, SwitchingUnitsSwapsFacesNeedlesAndCoverInTheNextFrame)
{
    at(2560);
    throwUnitsLever();
    EXPECT_FALSE(host->probe(*dial).elements[MetricNeedle].hidden) << "nothing changes before the frame";
    auto british = at(2560);
    EXPECT_TRUE(british.elements[MetricNeedle].hidden);
    EXPECT_FALSE(british.elements[BritishNeedle].hidden);
    throwUnitsLever();
    auto metric = at(2560);
    EXPECT_FALSE(metric.elements[MetricNeedle].hidden);
    EXPECT_TRUE(pointsAt(metric.elements[MetricNeedle].angle, Pivot, {137, 40}));
}

TEST_F(VerticalSpeedIndicator, TheHostSuppliesTheTwoHalvesTooltipsAndNothingIsClickable)
{
    EXPECT_EQ(host->hover(*dial, 150, 60), devhost::hostHelpText(12441));
    EXPECT_EQ(host->hover(*dial, 150, 250), devhost::hostHelpText(12440));
    EXPECT_FALSE(host->click(*dial, 150, 150).hit);
}

}  // namespace
