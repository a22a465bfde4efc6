// The COM1 radio as a pilot works it: off at every load, the discs and the
// tooltip showing the host's frequency whatever the switch says, the knob
// tuning the host's radio by channels and whole MHz within the band, and
// the main switch clicking.
#include <gtest/gtest.h>

#include "tests/module/switch_support.h"
#include "precision.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t Com1Frequency = 23;
constexpr uint32_t FineDown = 66434, FineUp = 66435, WholeDown = 65636, WholeUp = 65637;
constexpr uint32_t LeverClip = 30;

// Drawing order: face 0, MHz disc 1, decimal disc 2, mask 3, knob 4, switch 5, lamp 6.
constexpr size_t MhzDisc = 1, DecimalDisc = 2, Knob = 4, Switch = 5, Lamp = 6;

constexpr Point OnSwitch = {45, 46};
constexpr Point OnKnobDownHalf = {130, 250};
constexpr Point OnKnobUpHalf = {218, 250};
constexpr Point OverWindow = {150, 40};
constexpr Point OverKnob = {175, 200};

class ComRadio : public testing::Test {
protected:
    void SetUp() override
    {
        moduletest::playIntoNothing();
        host.frame();
    }

    void tuneTo(uint32_t frequency)
    {
        host.variables().setInteger(Com1Frequency, frequency);
        host.frame();
        host.clearEvents();
    }
    void switchOn() { ASSERT_TRUE(host.clickGaugePixel(radio, OnSwitch).handled); }

    // One click on a knob half; the key events it made the host send.
    std::vector<uint32_t> clickKnob(Point at, uint32_t button = ClickLeft)
    {
        host.clearEvents();
        EXPECT_TRUE(host.clickGaugePixel(radio, at, button).handled);
        std::vector<uint32_t> sent;
        for (const devhost::EventRecord& event : host.events()) {
            EXPECT_EQ(event.value, 0u);
            sent.push_back(event.id);
        }
        return sent;
    }

    devhost::ElementSnapshot shown(size_t element)
    {
        host.frame();
        return host.probe(radio).elements.at(element);
    }

    double knobAngle() { return shown(Knob).rotationValue; }
    std::string frequencyTooltip() { return host.hoverGaugePixel(radio, OverWindow); }

    Host host{devhost::moduleUnderTest()};
    GaugeInstance& radio = host.place("Radio_COM_SK10");
};

using Sent = std::vector<uint32_t>;

TEST_F(ComRadio, AtLoadTheRadioIsOffAndTheKnobSendsNothing)
{
    EXPECT_EQ(shown(Switch).frame, 0);
    EXPECT_EQ(shown(Lamp).frame, std::nullopt) << "the lamp is not drawn";
    EXPECT_EQ(host.hoverGaugePixel(radio, OnSwitch), "COM1 main switch (off)");
    tuneTo(0x2450);
    for (Point half : {OnKnobDownHalf, OnKnobUpHalf})
        for (uint32_t button : {ClickLeft, ClickRight})
            EXPECT_EQ(clickKnob(half, button), Sent{});
    EXPECT_EQ(knobAngle(), 0.0);
    EXPECT_EQ(frequencyTooltip(), "Communications Radio COM1 - 124.500 MHz") << "the frequency still shows";
}

TEST_F(ComRadio, TheSwitchLightsTheLampAndTellsTheHostNothing)
{
    host.clearEvents();
    switchOn();
    EXPECT_EQ(shown(Switch).frame, 1);
    EXPECT_EQ(shown(Lamp).frame, 0);
    EXPECT_EQ(host.hoverGaugePixel(radio, OnSwitch), "COM1 main switch (on)");
    EXPECT_TRUE(host.events().empty());
    switchOn();
    EXPECT_EQ(shown(Switch).frame, 0);
    EXPECT_EQ(shown(Lamp).frame, std::nullopt);
}

TEST_F(ComRadio, AChannelArrivingCutTo10KhzShowsAsItsWholeChannel)
{
    tuneTo(0x1802);
    EXPECT_NEEDLE_NEAR(shown(MhzDisc).rotation, 0.225, 1e-9);
    EXPECT_NEEDLE_NEAR(shown(DecimalDisc).rotation, 2.25, 1e-9);
    EXPECT_EQ(frequencyTooltip(), "Communications Radio COM1 - 118.025 MHz");
    EXPECT_EQ(host.hoverGaugePixel(radio, OverKnob), "Communications Radio COM1 - 118.025 MHz");
}

TEST_F(ComRadio, AfterAKnobHasReadTheRegisterTheNextFrameShowsTheWholeChannelAgain)
{
    tuneTo(0x1802);
    EXPECT_EQ(clickKnob(OnKnobDownHalf), Sent{}) << "off: the knob reads the register, cut, and sends nothing";
    EXPECT_NEEDLE_NEAR(shown(DecimalDisc).rotation, 2.25, 1e-9);
    EXPECT_NEEDLE_NEAR(shown(MhzDisc).rotation, 0.225, 1e-9);
}

TEST_F(ComRadio, TheDiscsTurnNinetyDegreesPerMhzBelowAndNinePerMhzAbove)
{
    tuneTo(0x3597);
    EXPECT_NEEDLE_NEAR(shown(MhzDisc).rotation, (135.975 - 118) * 9, 1e-9);
    EXPECT_NEEDLE_NEAR(shown(DecimalDisc).rotation, 0.975 * 90, 1e-9);
    EXPECT_EQ(frequencyTooltip(), "Communications Radio COM1 - 135.975 MHz");
    tuneTo(0x2450);
    EXPECT_NEEDLE_NEAR(shown(MhzDisc).rotation, 6.5 * 9, 1e-9);
    EXPECT_NEEDLE_NEAR(shown(DecimalDisc).rotation, 45, 1e-9);
}

TEST_F(ComRadio, AFineStepDownTurnsTheKnobBackAndStopsAt118025)
{
    switchOn();
    tuneTo(0x1805);
    EXPECT_EQ(clickKnob(OnKnobDownHalf), Sent{FineDown});
    auto knob = shown(Knob);
    EXPECT_EQ(knob.rotationValue, -4.5);
    EXPECT_EQ(knob.rotation, 4.5) << "drawn with scale -1";
    EXPECT_EQ(frequencyTooltip(), "Communications Radio COM1 - 118.025 MHz") << "the host stepped one channel";
    EXPECT_EQ(clickKnob(OnKnobDownHalf), Sent{}) << "118.025 reads 118.02, below the limit";
    tuneTo(0x1800);
    EXPECT_EQ(clickKnob(OnKnobDownHalf), Sent{});
    EXPECT_EQ(knobAngle(), -4.5) << "a refused step does not turn the knob";
}

TEST_F(ComRadio, AFineStepUpGoesAsFarAs136000)
{
    switchOn();
    tuneTo(0x3597);
    EXPECT_EQ(clickKnob(OnKnobUpHalf), Sent{FineUp});
    EXPECT_EQ(knobAngle(), 4.5);
    tuneTo(0x3600);
    EXPECT_EQ(clickKnob(OnKnobUpHalf), Sent{});
    EXPECT_EQ(knobAngle(), 4.5);
}

TEST_F(ComRadio, WholeMhzStepsKeepTheMhzBetween118And135)
{
    switchOn();
    tuneTo(0x3450);
    EXPECT_EQ(clickKnob(OnKnobUpHalf, ClickRight), Sent{WholeUp});
    EXPECT_EQ(knobAngle(), 180.0);
    tuneTo(0x3525);
    EXPECT_EQ(clickKnob(OnKnobUpHalf, ClickRight), Sent{});
    tuneTo(0x1897);
    EXPECT_EQ(clickKnob(OnKnobDownHalf, ClickRight), Sent{});
    tuneTo(0x1900);
    EXPECT_EQ(clickKnob(OnKnobDownHalf, ClickRight), Sent{WholeDown});
    EXPECT_EQ(knobAngle(), 0.0);
}

TEST_F(ComRadio, AClickWithBothButtonsIsALeftClick)
{
    switchOn();
    tuneTo(0x2000);
    EXPECT_EQ(clickKnob(OnKnobUpHalf, ClickLeft | ClickRight), Sent{FineUp});
}

TEST_F(ComRadio, TheKnobAngleKeepsGrowingStepAfterStep)
{
    switchOn();
    tuneTo(0x1800);
    for (int step = 0; step < 4; ++step)
        EXPECT_EQ(clickKnob(OnKnobUpHalf, ClickRight), Sent{WholeUp});
    EXPECT_EQ(knobAngle(), 720.0);
    EXPECT_EQ(frequencyTooltip(), "Communications Radio COM1 - 122.000 MHz");
}

TEST_F(ComRadio, TuningUpTwoChannelsFrom118000Reaches118050)
{
    switchOn();
    tuneTo(0x1800);
    clickKnob(OnKnobUpHalf);
    EXPECT_EQ(frequencyTooltip(), "Communications Radio COM1 - 118.000 MHz") << "until the next frame reads the host";
    host.frame();
    EXPECT_EQ(frequencyTooltip(), "Communications Radio COM1 - 118.025 MHz");
    clickKnob(OnKnobUpHalf);
    host.frame();
    EXPECT_EQ(frequencyTooltip(), "Communications Radio COM1 - 118.050 MHz");
    EXPECT_EQ(host.variables().getInteger(Com1Frequency), 0x1805u);
}

TEST_F(ComRadio, ChannelStepsCarryIntoTheNextMhzAndTheMhzDiscFollows)
{
    switchOn();
    tuneTo(0x2497);
    EXPECT_EQ(clickKnob(OnKnobUpHalf), Sent{FineUp});
    host.frame();
    EXPECT_EQ(frequencyTooltip(), "Communications Radio COM1 - 125.000 MHz");
    EXPECT_NEEDLE_NEAR(shown(MhzDisc).rotation, 7 * 9, 1e-9);
    EXPECT_NEEDLE_NEAR(shown(DecimalDisc).rotation, 0, 1e-9);
}

TEST_F(ComRadio, OnlyTheKnobHalvesAndTheSwitchTakeClicks)
{
    switchOn();
    tuneTo(0x2000);
    EXPECT_FALSE(host.clickGaugePixel(radio, OverWindow).hit);
    EXPECT_FALSE(host.clickGaugePixel(radio, {87, 250}).hit) << "left of the knob";
    EXPECT_EQ(clickKnob({174, 250}), Sent{FineDown}) << "the left half's last column";
    EXPECT_EQ(clickKnob({175, 250}), Sent{FineUp}) << "the right half's first column";
    EXPECT_FALSE(host.clickGaugePixel(radio, OnSwitch, ClickRight).hit) << "the switch takes left clicks only";
}

TEST_F(ComRadio, ARegisterBelowTheBandShowsAsSuchAndCanOnlyBeTunedUp)
{
    switchOn();
    tuneTo(0x0805);
    EXPECT_EQ(frequencyTooltip(), "Communications Radio COM1 - 108.050 MHz");
    EXPECT_NEEDLE_NEAR(shown(MhzDisc).rotation, (108.05 - 118) * 9, 1e-9);
    EXPECT_EQ(clickKnob(OnKnobDownHalf), Sent{});
    EXPECT_EQ(clickKnob(OnKnobDownHalf, ClickRight), Sent{});
    EXPECT_EQ(clickKnob(OnKnobUpHalf), Sent{FineUp});
}

TEST_F(ComRadio, ASecondRadioPlacedLaterSharesTheSwitchAndFindsItOn)
{
    switchOn();
    GaugeInstance& second = host.place("Radio_COM_SK10");
    host.frame();
    EXPECT_EQ(host.probe(second).elements.at(Switch).frame, 1);
    EXPECT_EQ(host.probe(second).elements.at(Lamp).frame, 0);
}

// The click cases load their own host after the ear is in place: a module
// copy loaded earlier would keep its output where it first opened it.
TEST(ComRadioSound, EachSwitchClickPlaysTheClipAndTheDiscsStayWhereTheyAre)
{
    VARDEX_SKIP_UNLESS_AUDIBLE(LeverClip);
    moduletest::playIntoNothing();
    moduletest::ClickOutput output;
    Host own(devhost::moduleUnderTest());
    GaugeInstance& com = own.place("Radio_COM_SK10");
    own.variables().setInteger(Com1Frequency, 0x2450);
    own.frame();
    const double mhzDisc = own.probe(com).elements.at(MhzDisc).rotation;
    EXPECT_TRUE(output.eachClickPlays(own, com, OnSwitch.x, OnSwitch.y, LeverClip));
    own.frame();
    EXPECT_EQ(own.probe(com).elements.at(Switch).frame, 0) << "two clicks: off again";
    EXPECT_EQ(own.probe(com).elements.at(MhzDisc).rotation, mhzDisc);
}

TEST(ComRadioSound, WithoutTheHostWindowTheRadioStillSwitchesAndTunesInSilence)
{
    moduletest::playIntoNothing();
    moduletest::ClickOutput output;
    Host host(devhost::moduleUnderTest(), {.windowClasses = {}});
    GaugeInstance& com = host.place("Radio_COM_SK10");
    ASSERT_TRUE(host.clickGaugePixel(com, OnSwitch).handled);
    EXPECT_EQ(moduletest::frameAfterNextFrame(host, com, Switch), 1);
    host.clickGaugePixel(com, OnKnobUpHalf);
    ASSERT_EQ(host.events().size(), 1u);
    EXPECT_EQ(host.events()[0].id, FineUp);
    EXPECT_FALSE(output.opened()) << "no sound device was made";
}

TEST(ComRadioLoads, EveryLoadStartsWithTheRadioOff)
{
    moduletest::playIntoNothing();
    {
        Host host(devhost::moduleUnderTest());
        host.clickGaugePixel(host.place("Radio_COM_SK10"), OnSwitch);
    }
    Host again(devhost::moduleUnderTest());
    EXPECT_EQ(moduletest::frameAfterNextFrame(again, again.place("Radio_COM_SK10"), Switch), 0);
}

}  // namespace
