// The transponder: four wheels and four knob pointers show the host's code
// whether it is on or off; the main switch lights the lamp and the wheels
// and lets the knobs step the host's digits, one key event per click.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "devhost/core/tooltip_format.h"
#include "tests/module/switch_support.h"
#include "precision.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;
using moduletest::frameAfterNextFrame;

constexpr uint32_t Code = 38;
constexpr uint32_t SwitchClip = 30;
constexpr uint32_t TensUp = 65653, UnitsUp = 65654, UnitsDown = 66458;

// Drawing order: plate, knob pointers (units, tens, hundreds, thousands),
// wheels (the same), identification switch, lamp, main switch.
constexpr size_t UnitsPointer = 1, HundredsPointer = 3, ThousandsPointer = 4;
constexpr size_t UnitsWheel = 5, TensWheel = 6, HundredsWheel = 7, ThousandsWheel = 8;
constexpr int IdentSwitch = 9, Lamp = 10, MainSwitch = 11;

constexpr Point SwitchOffSpot = {85, 145}, SwitchOnSpot = {115, 145};
constexpr Point ThousandsDownSpot = {150, 60}, ThousandsUpSpot = {175, 60};
constexpr Point TensUpSpot = {285, 60};
constexpr Point UnitsDownSpot = {350, 60}, UnitsUpSpot = {375, 60};

constexpr double PixelsPerDigit = 18;  // the wheel strip: 0 to 9 and 0 again, 18 pixels each

class Transponder : public testing::Test {
protected:
    void SetUp() override { moduletest::playIntoNothing(); }

    void click(Point spot) { ASSERT_TRUE(host.clickGaugePixel(xpdr, spot).handled) << spot.x << "," << spot.y; }

    devhost::GaugeSnapshot afterFrame()
    {
        host.frame();
        return host.probe(xpdr);
    }

    void expectWheels(uint32_t code, std::array<double, 4> digits)
    {
        auto shown = afterFrame();
        const size_t wheels[] = {ThousandsWheel, HundredsWheel, TensWheel, UnitsWheel};
        for (size_t i = 0; i < 4; ++i) {
            SCOPED_TRACE("code " + std::to_string(code) + " wheel " + std::to_string(i));
            EXPECT_EQ(shown.elements[wheels[i]].yValue, digits[i]);
            EXPECT_NEEDLE_NEAR(shown.elements[wheels[i]].yOffset, digits[i] * PixelsPerDigit, 1e-9);
        }
    }

    Host host{devhost::moduleUnderTest()};
    GaugeInstance& xpdr = host.place("Radio_XPDR_FUG25A6");
};

TEST_F(Transponder, AtLoadItIsOffAndTheKnobsSendNothing)
{
    EXPECT_EQ(frameAfterNextFrame(host, xpdr, MainSwitch), 0);
    EXPECT_FALSE(frameAfterNextFrame(host, xpdr, Lamp)) << "the lamp is dark";
    for (Point spot : {ThousandsDownSpot, ThousandsUpSpot, TensUpSpot, UnitsDownSpot, UnitsUpSpot})
        click(spot);
    EXPECT_TRUE(host.events().empty());
}

TEST_F(Transponder, TheWheelsAndPointersShowTheHostsCodeOnOrOff)
{
    host.variables().setInteger(Code, 0x7700);
    expectWheels(0x7700, {7, 7, 0, 0});
    auto shown = afterFrame();
    EXPECT_EQ(shown.elements[ThousandsPointer].value, 7.0);
    EXPECT_EQ(shown.elements[HundredsPointer].value, 7.0);
    EXPECT_EQ(shown.elements[UnitsPointer].value, 0.0);
    // Digit 0 points up, 8 down: digit 7 stands 157.5 degrees clockwise from the top.
    EXPECT_NEEDLE_NEAR(shown.elements[ThousandsPointer].angle, -90 + 157.5, 1e-6);

    host.variables().setInteger(Code, 0x1234);
    expectWheels(0x1234, {1, 2, 3, 4});
}

TEST_F(Transponder, ACodeRegisterThatIsNoBcdStillShowsDigitsOnTheWheels)
{
    host.variables().setInteger(Code, 0xFFFFFFFF);
    expectWheels(0xFFFFFFFF, {9, 9, 9, 9});
}

TEST_F(Transponder, TheWheelsAreLitOnlyWhileItIsOnAndRedrawnEveryFrame)
{
    auto off = afterFrame();
    EXPECT_EQ(off.elements[UnitsWheel].imageFlags & ImageLuminous, 0u);
    EXPECT_EQ(off.elements[UnitsWheel].imageFlags & ImageOnScreen, 0u);
    click(SwitchOnSpot);
    auto on = afterFrame();
    for (size_t wheel : {UnitsWheel, TensWheel, HundredsWheel, ThousandsWheel}) {
        EXPECT_NE(on.elements[wheel].imageFlags & ImageLuminous, 0u);
        EXPECT_EQ(on.elements[wheel].imageFlags & ImageOnScreen, 0u);
    }
}

TEST_F(Transponder, EachHalfOfTheSwitchThrowsItOneWayOnly)
{
    click(SwitchOffSpot);
    EXPECT_EQ(frameAfterNextFrame(host, xpdr, MainSwitch), 0) << "already off";
    click(SwitchOnSpot);
    EXPECT_EQ(frameAfterNextFrame(host, xpdr, MainSwitch), 1);
    EXPECT_EQ(frameAfterNextFrame(host, xpdr, Lamp), 0);
    click(SwitchOnSpot);
    EXPECT_EQ(frameAfterNextFrame(host, xpdr, MainSwitch), 1) << "still on";
    click(SwitchOffSpot);
    EXPECT_EQ(frameAfterNextFrame(host, xpdr, MainSwitch), 0);
    EXPECT_FALSE(frameAfterNextFrame(host, xpdr, Lamp));
    EXPECT_TRUE(host.events().empty()) << "the host is never told";
}

TEST_F(Transponder, TheIdentificationSwitchNeverMoves)
{
    EXPECT_EQ(frameAfterNextFrame(host, xpdr, IdentSwitch), 0);
    click(SwitchOnSpot);
    for (Point spot : {Point{358, 190}, TensUpSpot, SwitchOffSpot})
        host.clickGaugePixel(xpdr, spot);
    EXPECT_EQ(frameAfterNextFrame(host, xpdr, IdentSwitch), 0);
}

TEST_F(Transponder, AKnobClickStepsTheHostsDigitAndTheWheelFollows)
{
    host.variables().setInteger(Code, 0x1200);
    click(SwitchOnSpot);
    click(TensUpSpot);
    ASSERT_EQ(host.events().size(), 1u);
    EXPECT_EQ(host.events()[0].id, TensUp);
    EXPECT_EQ(host.events()[0].value, 0u);
    expectWheels(0x1210, {1, 2, 1, 0});

    host.variables().setInteger(Code, 0x1207);
    click(UnitsUpSpot);
    expectWheels(0x1200, {1, 2, 0, 0});
    click(UnitsDownSpot);
    expectWheels(0x1207, {1, 2, 0, 7});
    EXPECT_EQ(host.events().back().id, UnitsDown);
    EXPECT_EQ(host.events()[1].id, UnitsUp);
}

TEST_F(Transponder, TheSwitchTooltipFollowsTheSwitch)
{
    EXPECT_EQ(host.hoverGaugePixel(xpdr, SwitchOnSpot), "Transponder (IFF) main switch (off)");
    click(SwitchOnSpot);
    EXPECT_EQ(host.hoverGaugePixel(xpdr, SwitchOffSpot), "Transponder (IFF) main switch (on)");
    EXPECT_EQ(host.hoverGaugePixel(xpdr, {20, 20}), devhost::hostHelpText(12672));
    EXPECT_EQ(host.hoverGaugePixel(xpdr, {200, 200}), devhost::hostHelpText(12672));
}

TEST(TransponderSound, ThrowingTheSwitchEitherWayClicks)
{
    VARDEX_SKIP_UNLESS_AUDIBLE(SwitchClip);
    moduletest::playIntoNothing();
    moduletest::ClickOutput output;
    Host host(devhost::moduleUnderTest());
    GaugeInstance& xpdr = host.place("Radio_XPDR_FUG25A6");
    ASSERT_TRUE(host.clickGaugePixel(xpdr, SwitchOnSpot).handled);
    EXPECT_TRUE(output.heard(SwitchClip, 1));
    ASSERT_TRUE(host.clickGaugePixel(xpdr, SwitchOnSpot).handled);
    ASSERT_TRUE(host.clickGaugePixel(xpdr, SwitchOffSpot).handled);
    EXPECT_TRUE(output.heard(SwitchClip, 2));
}

}  // namespace
