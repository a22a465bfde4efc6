// The ADF receiver as a pilot works it: the band it wakes up in, the scale
// and the window text with the power on, the tuning knob within the band's
// limits, the band selector jumping to the shared edge, and the tone audio
// that the two switches hold every frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <ios>
#include <cstdint>
#include <string>

#include "devhost/core/tooltip_format.h"
#include "tests/module/switch_support.h"
#include "precision.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t Frequency = 16, Extension = 18, ToneAudio = 880;
constexpr uint32_t TenthUp = 66462, WholeDown = 66543, WholeUp = 66542, FrequencySet = 66122;
constexpr uint32_t ToneOn = 65841, ToneOff = 65836;
constexpr uint32_t SwitchClip = 30;

// Drawing order.
constexpr size_t Scale = 1, BandMask = 2, LowerText = 3, UpperText = 4, TuningKnob = 6, BandKnob = 7,
                 ToneSwitch = 8, Lamp = 9, MainSwitch = 10;

// Spots in the gauge's own pixels (600×492).
constexpr Point MainSwitchSpot = {535, 420};
constexpr Point ToneSwitchSpot = {78, 403};
constexpr Point BandDownSpot = {490, 260};
constexpr Point BandUpSpot = {600, 260};
constexpr Point TuneDownSpot = {260, 200};
constexpr Point TuneUpSpot = {340, 200};

class AdfReceiver : public testing::Test {
protected:
    void SetUp() override { moduletest::playIntoNothing(); }

    // The host's frequency, in its two registers.
    void tuneHost(uint32_t frequency, uint32_t extension)
    {
        host.variables().setInteger(Frequency, frequency);
        host.variables().setInteger(Extension, extension);
    }

    GaugeInstance& placeAt(uint32_t frequency, uint32_t extension)
    {
        tuneHost(frequency, extension);
        return host.place("Radio_ADF_EZ6");
    }

    // Placed with the power on and one frame run, the log cleared.
    GaugeInstance& poweredAt(uint32_t frequency, uint32_t extension)
    {
        GaugeInstance& radio = placeAt(frequency, extension);
        click(radio, MainSwitchSpot);
        host.frame();
        host.clearEvents();
        return radio;
    }

    // The host moved to a frequency; a click there sends nothing.
    void expectNothingSentAt(GaugeInstance& radio, uint32_t frequency, uint32_t extension, Point spot, uint32_t flags)
    {
        tuneHost(frequency, extension);
        host.frame();
        host.clearEvents();
        click(radio, spot, flags);
        EXPECT_TRUE(host.events().empty()) << std::hex << frequency << " ext " << extension;
    }

    void click(GaugeInstance& radio, Point spot, uint32_t flags = ClickLeft)
    {
        ASSERT_TRUE(host.clickGaugePixel(radio, spot, flags).handled) << spot.x << "," << spot.y;
    }

    devhost::ElementSnapshot shown(GaugeInstance& radio, size_t element) { return host.probe(radio).elements.at(element); }

    size_t sent(uint32_t id) const
    {
        size_t count = 0;
        for (const devhost::EventRecord& e : host.events())
            count += e.id == id ? e.count : 0;
        return count;
    }

    // Clears the log, runs one frame, counts what it sent.
    size_t sentInOneFrame(uint32_t id)
    {
        host.clearEvents();
        host.frame();
        return sent(id);
    }

    Host host{devhost::moduleUnderTest()};
};

// ---------------------------------------------------------------- installation

struct WakeUp {
    uint32_t frequency, extension;
    double band, scale;
};

TEST_F(AdfReceiver, InstallationChoosesTheBandOfTheHostsFrequencyAndSetsTheScaleInIt)
{
    for (WakeUp w : {WakeUp{0x0410, 0x0000, 1, 105}, WakeUp{0x0850, 0x0000, 2, 176}, WakeUp{0x0850, 0x0005, 3, 0.15},
                     WakeUp{0x0199, 0x0000, 1, -0.5}}) {
        Host fresh(devhost::moduleUnderTest());
        fresh.variables().setInteger(Frequency, w.frequency);
        fresh.variables().setInteger(Extension, w.extension);
        GaugeInstance& radio = fresh.place("Radio_ADF_EZ6");
        fresh.frame();
        auto snapshot = fresh.probe(radio);
        SCOPED_TRACE(std::to_string(w.frequency) + " ext " + std::to_string(w.extension));
        EXPECT_EQ(snapshot.elements[BandMask].frame, int(w.band));
        EXPECT_NEEDLE_NEAR(snapshot.elements[Scale].value, w.scale, 1e-9) << "the power is off, the scale stays where set";
    }
}

TEST_F(AdfReceiver, InstallationSwitchesTheToneOffAndLeavesThePowerAndKnobAlone)
{
    GaugeInstance& radio = placeAt(0x0345, 0x0005);
    EXPECT_EQ(sent(ToneOff), 1u);
    click(radio, MainSwitchSpot);
    click(radio, ToneSwitchSpot);
    click(radio, TuneUpSpot, ClickLeft);
    host.frame();
    EXPECT_EQ(host.variables().get(ToneAudio), 1.0);

    host.place("Radio_ADF_EZ6");
    host.frame();
    EXPECT_EQ(shown(radio, ToneSwitch).frame, 0) << "the tone went off";
    EXPECT_EQ(shown(radio, MainSwitch).frame, 1) << "the power stayed on";
    EXPECT_EQ(shown(radio, TuningKnob).value, 61.0) << "the knob kept its turn";
    EXPECT_EQ(host.variables().get(ToneAudio), 0.0);
}

// ---------------------------------------------------------------- display

TEST_F(AdfReceiver, PoweredInBandOneTheUpperTextShowsTheFrequencyWithALeadingZero)
{
    GaugeInstance& radio = placeAt(0x0345, 0x0005);
    click(radio, MainSwitchSpot);
    host.frame();
    EXPECT_FALSE(shown(radio, UpperText).hidden);
    EXPECT_EQ(shown(radio, UpperText).text, "0345.5");
    EXPECT_TRUE(shown(radio, LowerText).hidden);
    EXPECT_NEEDLE_NEAR(shown(radio, Scale).value, 72.75, 1e-9);
    EXPECT_EQ(shown(radio, Lamp).frame, 0);
    EXPECT_EQ(shown(radio, BandKnob).value, 300.0) << "60 degrees left of the top";
}

TEST_F(AdfReceiver, PoweredInBandThreeTheLowerTextShowsFourDigitKilohertz)
{
    GaugeInstance& radio = placeAt(0x0234, 0x0100);
    click(radio, MainSwitchSpot);
    host.frame();
    EXPECT_EQ(shown(radio, LowerText).text, "1234.0");
    EXPECT_FALSE(shown(radio, LowerText).hidden);
    EXPECT_TRUE(shown(radio, UpperText).hidden);
    EXPECT_NEEDLE_NEAR(shown(radio, Scale).value, 115.2, 1e-9);
    EXPECT_EQ(shown(radio, BandKnob).value, 180.0);
}

TEST_F(AdfReceiver, WithThePowerOffTheTextsAndLampGoAndTheScaleStaysWhereItWas)
{
    GaugeInstance& radio = placeAt(0x0345, 0x0005);
    click(radio, MainSwitchSpot);
    host.frame();
    click(radio, MainSwitchSpot);
    tuneHost(0x0380, 0x0000);
    host.frame();
    EXPECT_TRUE(shown(radio, UpperText).hidden);
    EXPECT_TRUE(shown(radio, LowerText).hidden);
    EXPECT_FALSE(shown(radio, Lamp).frame);
    EXPECT_EQ(shown(radio, MainSwitch).frame, 0);
    EXPECT_NEEDLE_NEAR(shown(radio, Scale).value, 72.75, 1e-9);
    EXPECT_EQ(shown(radio, BandMask).frame, 1) << "the band still shows";
}

TEST_F(AdfReceiver, RegistersThatAreNoBcdShowAFrequencyWithinTheWindow)
{
    GaugeInstance& radio = placeAt(0xFFFFFFFF, 0xFFFFFFFF);
    click(radio, MainSwitchSpot);
    host.frame(2);
    EXPECT_EQ(shown(radio, LowerText).text, "1999.9");
    EXPECT_NEEDLE_NEAR(shown(radio, Scale).value, (1999.9 - 850) * 0.3, 1e-9);
}

// ---------------------------------------------------------------- tuning

TEST_F(AdfReceiver, AFineStepUpGoesUpToHalfAKilohertzBelowTheBandsTop)
{
    GaugeInstance& radio = poweredAt(0x0409, 0x0005);
    click(radio, TuneUpSpot, ClickLeft);
    EXPECT_EQ(sent(TenthUp), 5u);
    EXPECT_EQ(host.events().size(), 5u);
    host.frame();
    EXPECT_EQ(shown(radio, TuningKnob).value, 61.0) << "3 degrees on";
    EXPECT_EQ(shown(radio, UpperText).text, "0410.0") << "the host took five tenth-steps";

    expectNothingSentAt(radio, 0x0409, 0x0006, TuneUpSpot, ClickLeft);  // one more click would leave the band
}

TEST_F(AdfReceiver, ACoarseStepUpStopsFiveKilohertzBelowTheTop)
{
    GaugeInstance& radio = poweredAt(0x0405, 0x0000);
    click(radio, TuneUpSpot, ClickRight);
    EXPECT_EQ(sent(WholeUp), 5u);
    expectNothingSentAt(radio, 0x0409, 0x0005, TuneUpSpot, ClickRight);
    host.frame();
    EXPECT_EQ(shown(radio, TuningKnob).value, 65.0);
}

TEST_F(AdfReceiver, ACoarseStepDownInBandThreeStopsAtItsBottom)
{
    GaugeInstance& radio = poweredAt(0x0855, 0x0000);
    click(radio, TuneDownSpot, ClickRight);
    EXPECT_EQ(sent(WholeDown), 5u);
    host.frame();
    EXPECT_EQ(shown(radio, LowerText).text, "0850.0");
    EXPECT_EQ(shown(radio, TuningKnob).value, 55.0);

    expectNothingSentAt(radio, 0x0854, 0x0009, TuneDownSpot, ClickRight);
}

TEST_F(AdfReceiver, AClickWithBothButtonsIsACoarseStep)
{
    GaugeInstance& radio = poweredAt(0x0300, 0x0000);
    click(radio, TuneUpSpot, ClickLeft | ClickRight);
    EXPECT_EQ(sent(WholeUp), 5u);
    EXPECT_EQ(host.events().size(), 5u);
}

TEST_F(AdfReceiver, WithThePowerOffTheKnobsDoNothing)
{
    GaugeInstance& radio = placeAt(0x0345, 0x0005);
    host.frame();
    host.clearEvents();
    for (Point spot : {TuneUpSpot, TuneDownSpot, BandUpSpot, BandDownSpot})
        click(radio, spot);
    click(radio, TuneUpSpot, ClickRight);
    EXPECT_TRUE(host.events().empty());
    host.frame();
    EXPECT_EQ(shown(radio, TuningKnob).value, 60.0);
    EXPECT_EQ(shown(radio, BandMask).frame, 1);
}

// ---------------------------------------------------------------- bands

TEST_F(AdfReceiver, BandUpTunesToTheBottomOfTheNextBand)
{
    GaugeInstance& radio = poweredAt(0x0345, 0x0005);
    click(radio, BandUpSpot);
    ASSERT_EQ(host.events().size(), 1u);
    EXPECT_EQ(host.events()[0].id, FrequencySet);
    EXPECT_EQ(host.events()[0].value, 0x4100u);
    host.frame();
    EXPECT_EQ(shown(radio, BandMask).frame, 2);
    EXPECT_EQ(shown(radio, BandKnob).value, 60.0);
    EXPECT_NEEDLE_NEAR(shown(radio, Scale).value, 0.0, 1e-9);
    EXPECT_EQ(shown(radio, UpperText).text, "0410.0");

    host.clearEvents();
    click(radio, BandUpSpot);
    EXPECT_EQ(host.events().at(0).value, 0x8500u);
    host.frame();
    EXPECT_EQ(shown(radio, LowerText).text, "0850.0");
    EXPECT_EQ(shown(radio, BandMask).frame, 3);

    host.clearEvents();
    click(radio, BandUpSpot);
    EXPECT_TRUE(host.events().empty()) << "there is no band above 3";
}

TEST_F(AdfReceiver, BandDownTunesToTheTopOfTheBandBelowAndPresetsItsScale)
{
    GaugeInstance& radio = poweredAt(0x0234, 0x0100);
    click(radio, BandDownSpot);
    EXPECT_EQ(host.events().at(0).value, 0x8500u);
    host.frame();
    EXPECT_NEEDLE_NEAR(shown(radio, Scale).value, 176.0, 1e-9);
    host.clearEvents();
    click(radio, BandDownSpot);
    EXPECT_EQ(host.events().at(0).value, 0x4100u);
    host.frame();
    EXPECT_NEEDLE_NEAR(shown(radio, Scale).value, 105.0, 1e-9);
    host.clearEvents();
    click(radio, BandDownSpot);
    EXPECT_TRUE(host.events().empty()) << "there is no band below 1";
}

// ---------------------------------------------------------------- tone

TEST_F(AdfReceiver, TheSwitchesHoldTheHostsToneEveryFrame)
{
    GaugeInstance& radio = placeAt(0x0345, 0x0005);
    EXPECT_EQ(sentInOneFrame(ToneOff), 2u) << "power and tone off";
    click(radio, ToneSwitchSpot);
    EXPECT_EQ(sentInOneFrame(ToneOff), 1u) << "tone on, power off";
    EXPECT_EQ(sent(ToneOn), 0u);
    EXPECT_EQ(shown(radio, ToneSwitch).frame, 1) << "the tone switch throws with the power off";
    click(radio, MainSwitchSpot);
    EXPECT_EQ(sentInOneFrame(ToneOn), 2u) << "both on";
    EXPECT_EQ(sent(ToneOff), 0u);
    EXPECT_EQ(host.variables().get(ToneAudio), 1.0);

    host.variables().set(ToneAudio, 0.0);  // switched off elsewhere in the cockpit
    host.frame();
    EXPECT_EQ(host.variables().get(ToneAudio), 1.0) << "for one frame at most";
}

// ---------------------------------------------------------------- tooltips and sound

TEST_F(AdfReceiver, TheTooltipsTellBandToneAndPowerAndFollowAClickAtOnce)
{
    GaugeInstance& radio = placeAt(0x0345, 0x0005);
    EXPECT_EQ(host.hoverGaugePixel(radio, {500, 200}), "Band selector (200-410 KHz)");
    EXPECT_EQ(host.hoverGaugePixel(radio, ToneSwitchSpot), "Tone switch (off)");
    EXPECT_EQ(host.hoverGaugePixel(radio, MainSwitchSpot), "ADF main switch (off)");
    EXPECT_EQ(host.hoverGaugePixel(radio, {100, 100}), devhost::hostHelpText(12656));
    click(radio, MainSwitchSpot);
    click(radio, BandUpSpot);
    EXPECT_EQ(host.hoverGaugePixel(radio, {500, 200}), "Band selector (410-850 KHz)");
    EXPECT_EQ(host.hoverGaugePixel(radio, MainSwitchSpot), "ADF main switch (on)");
}

TEST_F(AdfReceiver, TheSwitchesAndTheBandSelectorClick)
{
    VARDEX_SKIP_UNLESS_AUDIBLE(SwitchClip);
    moduletest::ClickOutput output;
    Host listened(devhost::moduleUnderTest());
    GaugeInstance& radio = listened.place("Radio_ADF_EZ6");
    ASSERT_TRUE(listened.clickGaugePixel(radio, MainSwitchSpot).handled);
    EXPECT_TRUE(output.heard(SwitchClip, 1));
    ASSERT_TRUE(listened.clickGaugePixel(radio, BandUpSpot).handled);
    EXPECT_TRUE(output.heard(SwitchClip, 2));
    ASSERT_TRUE(listened.clickGaugePixel(radio, ToneSwitchSpot).handled);
    EXPECT_TRUE(output.heard(SwitchClip, 3));
}

}  // namespace
