// The ADF bearing indicator: radio compass at load, homing after a click on
// the middle of the dial; the homing needle keeps within its arc and rests
// at the end on the station's side; with the receiver off both needles rest.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "devhost/core/tooltip_format.h"
#include "tests/module/switch_support.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t RelativeBearing = 39;
constexpr size_t HomingFace = 1, FullCircleNeedle = 2, HomingNeedle = 3, ArrowWindow = 4;
constexpr Point DialMiddle = {150, 150};
constexpr Point ReceiverMainSwitch = {535, 420};  // on the ADF receiver's front

class AdfIndicator : public testing::Test {
protected:
    void SetUp() override { moduletest::playIntoNothing(); }

    void switchReceiverOn()
    {
        GaugeInstance& receiver = host.place("Radio_ADF_EZ6");
        ASSERT_TRUE(host.clickGaugePixel(receiver, ReceiverMainSwitch).handled);
    }

    void homing() { ASSERT_TRUE(host.clickGaugePixel(indicator, DialMiddle).handled); }

    devhost::ElementSnapshot needleAt(double bearing, size_t needle)
    {
        host.variables().set(RelativeBearing, bearing);
        host.frame();
        return host.probe(indicator).elements.at(needle);
    }

    Host host{devhost::moduleUnderTest()};
    GaugeInstance& indicator = host.place("ADF_Indicator");
};

TEST_F(AdfIndicator, AtLoadTheRadioCompassShowsAndEachClickOnTheMiddleSwitchesPresentation)
{
    host.frame();
    auto compass = host.probe(indicator);
    EXPECT_FALSE(compass.elements[HomingFace].frame);
    EXPECT_FALSE(compass.elements[ArrowWindow].frame);
    EXPECT_FALSE(compass.elements[FullCircleNeedle].hidden);
    EXPECT_TRUE(compass.elements[HomingNeedle].hidden);

    homing();
    host.frame();
    auto homing = host.probe(indicator);
    EXPECT_EQ(homing.elements[HomingFace].frame, 0);
    EXPECT_EQ(homing.elements[ArrowWindow].frame, 0);
    EXPECT_TRUE(homing.elements[FullCircleNeedle].hidden);
    EXPECT_FALSE(homing.elements[HomingNeedle].hidden);

    ASSERT_TRUE(host.clickGaugePixel(indicator, DialMiddle).handled);
    host.frame();
    EXPECT_FALSE(host.probe(indicator).elements[HomingFace].frame) << "back to the radio compass";
    EXPECT_TRUE(host.events().empty()) << "the indicator tells the host nothing";
}

TEST_F(AdfIndicator, OnlyTheMiddleOfTheDialTakesTheClick)
{
    EXPECT_FALSE(host.clickGaugePixel(indicator, {40, 40}).hit);
    EXPECT_TRUE(host.clickGaugePixel(indicator, {75, 75}).handled);
    EXPECT_TRUE(host.clickGaugePixel(indicator, {224, 224}).handled);
    EXPECT_EQ(host.hoverGaugePixel(indicator, {20, 20}), devhost::hostHelpText(43776));
}

TEST_F(AdfIndicator, WithTheReceiverOffBothNeedlesRest)
{
    EXPECT_EQ(needleAt(45, FullCircleNeedle).value, 90.0) << "pointing right";
    homing();
    EXPECT_EQ(needleAt(45, HomingNeedle).value, 0.0) << "straight up";
}

TEST_F(AdfIndicator, TheRadioCompassShowsTheBearingOverTheWholeCircle)
{
    switchReceiverOn();
    EXPECT_EQ(needleAt(225, FullCircleNeedle).value, 225.0);
    EXPECT_EQ(needleAt(-10, FullCircleNeedle).value, -10.0);
}

struct Homing {
    double bearing, shown;
};

TEST_F(AdfIndicator, TheHomingNeedleSwingsWithinItsArcAndRestsAtTheEndOnTheStationsSide)
{
    switchReceiverOn();
    homing();
    for (Homing h : {Homing{-10, 350}, Homing{10, 10}, Homing{180, 20}, Homing{180.5, 340}, Homing{90, 20},
                     Homing{270, 340}, Homing{370, 370}, Homing{-370, 350}, Homing{0, 0}, Homing{345, 345}}) {
        SCOPED_TRACE(h.bearing);
        EXPECT_EQ(needleAt(h.bearing, HomingNeedle).value, h.shown);
    }
}

TEST_F(AdfIndicator, ABearingThatIsNoNumberLeavesBothNeedlesAtRest)
{
    switchReceiverOn();
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (double bearing : {nan, inf, -inf})
        EXPECT_EQ(needleAt(bearing, FullCircleNeedle).value, 90.0) << bearing;
    homing();
    for (double bearing : {nan, inf, -inf})
        EXPECT_EQ(needleAt(bearing, HomingNeedle).value, 0.0) << bearing;
    double farAway = needleAt(-1e300, HomingNeedle).value;
    EXPECT_TRUE(farAway <= 20 || farAway >= 340) << "a huge negative bearing is folded at once: " << farAway;
}

}  // namespace
