// The NAV1 receiver as a pilot works it: both switches off at every load
// and the host's identifier tone silenced, the disks and the tooltip
// following the host's frequency, the knob tuning within the receiver's
// limits while it is on, and the tone switch working only then.
#include <gtest/gtest.h>

#include "tests/module/switch_support.h"
#include "precision.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t Nav1Frequency = 24;
constexpr uint32_t FineDown = 66445, FineUp = 66446, WholeDown = 65640, WholeUp = 65641;
constexpr uint32_t ToneOff = 65832, ToneOn = 65837;
constexpr uint32_t LeverClip = 30;

// Drawing order: base 0, coarse disk 1, fine disk 2, front 3, knob 4,
// tone switch 5, main switch 6, lamp 7.
constexpr size_t CoarseDisk = 1, FineDisk = 2, Knob = 4, ToneSwitch = 5, MainSwitch = 6, Lamp = 7;

constexpr Point OnMainSwitch = {129, 238};
constexpr Point OnToneSwitch = {53, 238};
constexpr Point OnKnobDownHalf = {40, 100};
constexpr Point OnKnobUpHalf = {130, 100};
constexpr Point OverWindow = {250, 60};

using Sent = std::vector<uint32_t>;

class NavRadio : public testing::Test {
protected:
    void SetUp() override
    {
        moduletest::playIntoNothing();
        host.frame();
    }

    void tuneTo(uint32_t frequency)
    {
        host.variables().setInteger(Nav1Frequency, frequency);
        host.frame();
        host.clearEvents();
    }

    // One click; the key events it made the host send, each with value 0.
    Sent click(Point at, uint32_t button = ClickLeft)
    {
        host.clearEvents();
        EXPECT_TRUE(host.clickGaugePixel(receiver, at, button).hit);
        Sent sent;
        for (const devhost::EventRecord& event : host.events()) {
            EXPECT_EQ(event.value, 0u);
            sent.push_back(event.id);
        }
        return sent;
    }
    void switchOn() { ASSERT_EQ(click(OnMainSwitch), Sent{}); }

    devhost::ElementSnapshot shown(size_t element)
    {
        host.frame();
        return host.probe(receiver).elements.at(element);
    }
    double knobAngle() { return shown(Knob).rotationValue; }
    std::string frequencyTooltip() { return host.hoverGaugePixel(receiver, OverWindow); }

    Host host{devhost::moduleUnderTest()};
    GaugeInstance& receiver = host.place("Radio_NAV_E10K");
};

TEST_F(NavRadio, AtLoadBothSwitchesAreOffTheLampDarkAndTheHostsToneSilenced)
{
    ASSERT_FALSE(host.events().empty());
    EXPECT_EQ(host.events().front().id, ToneOff) << "sent on installation";
    EXPECT_EQ(shown(ToneSwitch).frame, 0);
    EXPECT_EQ(shown(MainSwitch).frame, 0);
    EXPECT_EQ(shown(Lamp).frame, std::nullopt);
    EXPECT_EQ(knobAngle(), 0.0);
    EXPECT_EQ(host.hoverGaugePixel(receiver, OnToneSwitch), "Tone switch (off)");
    EXPECT_EQ(host.hoverGaugePixel(receiver, OnMainSwitch), "NAV1 main switch (off)");
}

TEST_F(NavRadio, TheFrequencyShowsOnTheDisksAndInTheTooltip)
{
    tuneTo(0x1095);
    EXPECT_EQ(frequencyTooltip(), "Navigation Radio NAV1 - 110.950 MHz");
    EXPECT_NEEDLE_NEAR(shown(CoarseDisk).rotation, 26.55, 1e-9);
    EXPECT_NEEDLE_NEAR(shown(FineDisk).rotation, 83.6, 1e-9);
}

TEST_F(NavRadio, AFractionalStepUpGoesNoHigherThan11790)
{
    switchOn();
    tuneTo(0x1790);
    EXPECT_EQ(click(OnKnobUpHalf), Sent{FineUp});
    EXPECT_EQ(knobAngle(), 4.5);
    EXPECT_EQ(frequencyTooltip(), "Navigation Radio NAV1 - 117.950 MHz") << "the host stepped 50 kHz";
    EXPECT_EQ(click(OnKnobUpHalf), Sent{});
    EXPECT_EQ(knobAngle(), 4.5) << "a refused step does not turn the knob";
}

TEST_F(NavRadio, AFractionalStepDownGoesNoLowerThan10805)
{
    switchOn();
    tuneTo(0x0805);
    EXPECT_EQ(click(OnKnobDownHalf), Sent{FineDown});
    auto knob = shown(Knob);
    EXPECT_EQ(knob.rotationValue, -4.5);
    EXPECT_EQ(knob.rotation, 4.5) << "drawn with scale -1";
    EXPECT_EQ(frequencyTooltip(), "Navigation Radio NAV1 - 108.000 MHz");
    EXPECT_EQ(click(OnKnobDownHalf), Sent{});
}

TEST_F(NavRadio, WholeMhzStepsStopAt117UpAnd108Down)
{
    switchOn();
    tuneTo(0x1750);
    EXPECT_EQ(click(OnKnobUpHalf, ClickRight), Sent{});
    tuneTo(0x1650);
    EXPECT_EQ(click(OnKnobUpHalf, ClickRight), Sent{WholeUp});
    EXPECT_EQ(knobAngle(), 180.0);
    tuneTo(0x0890);
    EXPECT_EQ(click(OnKnobDownHalf, ClickRight), Sent{});
    tuneTo(0x0990);
    EXPECT_EQ(click(OnKnobDownHalf, ClickRight), Sent{WholeDown});
    EXPECT_EQ(knobAngle(), 0.0);
}

TEST_F(NavRadio, WithThePowerOffAKnobClickOnlyReadsTheHostsFrequency)
{
    tuneTo(0x1095);
    host.variables().setInteger(Nav1Frequency, 0x1220);  // no frame between: only the click reads it
    EXPECT_EQ(click(OnKnobUpHalf, ClickRight), Sent{});
    EXPECT_EQ(frequencyTooltip(), "Navigation Radio NAV1 - 112.950 MHz") << "the right click reads the MHz only";
    EXPECT_EQ(click(OnKnobDownHalf), Sent{});
    EXPECT_EQ(frequencyTooltip(), "Navigation Radio NAV1 - 112.200 MHz") << "the left click reads both";
    EXPECT_EQ(knobAngle(), 0.0);
}

TEST_F(NavRadio, TuningFrom108000ByOneMhzAndTwoFractionalStepsReaches109100)
{
    switchOn();
    tuneTo(0x0800);
    EXPECT_EQ(click(OnKnobUpHalf, ClickRight), Sent{WholeUp});
    host.frame();
    EXPECT_EQ(click(OnKnobUpHalf), Sent{FineUp});
    host.frame();
    EXPECT_EQ(click(OnKnobUpHalf), Sent{FineUp});
    host.frame();
    EXPECT_EQ(frequencyTooltip(), "Navigation Radio NAV1 - 109.100 MHz");
    EXPECT_EQ(knobAngle(), 189.0);
}

TEST_F(NavRadio, TheToneSwitchIsDeadWhileTheReceiverIsOff)
{
    EXPECT_EQ(click(OnToneSwitch), Sent{});
    EXPECT_EQ(shown(ToneSwitch).frame, 0);
    EXPECT_EQ(host.hoverGaugePixel(receiver, OnToneSwitch), "Tone switch (off)");
}

TEST_F(NavRadio, WithTheReceiverOnTheToneSwitchTurnsTheHostsToneOnAndOff)
{
    switchOn();
    EXPECT_EQ(shown(Lamp).frame, 0);
    EXPECT_EQ(click(OnToneSwitch), Sent{ToneOn});
    EXPECT_EQ(shown(ToneSwitch).frame, 1);
    EXPECT_TRUE(host.keyEvents().identAudio().nav1);
    EXPECT_EQ(host.hoverGaugePixel(receiver, OnToneSwitch), "Tone switch (on)");
    EXPECT_EQ(click(OnToneSwitch), Sent{ToneOff});
    EXPECT_EQ(shown(ToneSwitch).frame, 0);
    EXPECT_FALSE(host.keyEvents().identAudio().nav1);
}

TEST_F(NavRadio, SwitchingOffWithTheToneOnSilencesTheToneFirstAndItStaysOffAfter)
{
    switchOn();
    click(OnToneSwitch);
    EXPECT_EQ(click(OnMainSwitch), Sent{ToneOff});
    EXPECT_EQ(shown(ToneSwitch).frame, 0);
    EXPECT_EQ(shown(MainSwitch).frame, 0);
    EXPECT_EQ(shown(Lamp).frame, std::nullopt);
    EXPECT_EQ(host.hoverGaugePixel(receiver, OnMainSwitch), "NAV1 main switch (off)");
    EXPECT_EQ(click(OnMainSwitch), Sent{}) << "back on, the tone stays off";
    EXPECT_EQ(shown(ToneSwitch).frame, 0);
    EXPECT_EQ(shown(MainSwitch).frame, 1);
}

// The click cases load their own host after the ear is in place: a module
// copy loaded earlier would keep its output where it first opened it.
TEST(NavRadioSound, TheMainSwitchClicksOncePerPress)
{
    VARDEX_SKIP_UNLESS_AUDIBLE(LeverClip);
    moduletest::playIntoNothing();
    moduletest::ClickOutput output;
    Host own(devhost::moduleUnderTest());
    EXPECT_TRUE(output.eachClickPlays(own, own.place("Radio_NAV_E10K"), OnMainSwitch.x, OnMainSwitch.y, LeverClip));
}

TEST(NavRadioSound, TheToneSwitchClicksWhileTheReceiverIsOn)
{
    VARDEX_SKIP_UNLESS_AUDIBLE(LeverClip);
    moduletest::playIntoNothing();
    moduletest::ClickOutput output;
    Host own(devhost::moduleUnderTest());
    GaugeInstance& nav = own.place("Radio_NAV_E10K");
    ASSERT_TRUE(output.eachClickPlays(own, nav, OnMainSwitch.x, OnMainSwitch.y, LeverClip));
    own.clickGaugePixel(nav, OnMainSwitch);  // the third click: on
    ASSERT_TRUE(output.heard(LeverClip, 3));
    own.clickGaugePixel(nav, OnToneSwitch);
    EXPECT_TRUE(output.heard(LeverClip, 4));
}

}  // namespace
