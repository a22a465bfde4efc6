// Radio_NAV_E10K: the NAV1 receiver. Two scale discs turn behind a window
// to show the host's frequency (MHz above, tenths and hundredths below); a
// large knob tunes it, left half down, right half up, a left click by the
// host's fractional step, a right click by a whole MHz. A main switch lights
// the pilot lamp and lets the knob and the identifier-tone switch work; the
// landing indicator reads it too.
//
// Host variables read: 24, NAV1 frequency (BCD, nav_frequency.h), every
// frame and before each knob step. Key events sent, value 0: 66445
// (0x1038D) fractional step down, 66446 (0x1038E) up, 65640 (0x10068)
// whole MHz down, 65641 (0x10069) up; 65832 (0x10128) identifier tone off,
// 65837 (0x1012D) on.
// State owned: navPowerOn and navToneOn (cockpit_state.h), off at every
// load; the copies of the frequency navWholeMhz and navHundredths;
// navRegister, as last decoded; navKnobAngle; the switches' sound slot
// (clip 30).
#include <iterator>

#include "framework/cockpit_state.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/radio_knob.h"
#include "framework/switches.h"
#include "framework/tone_events.h"
#include "radios/nav/nav_frequency.h"
#include "sound/sound_slot.h"

int32_t navPowerOn = 0;
int32_t navToneOn = 0;

namespace {

double navWholeMhz = 0.0;
double navHundredths = 0.0;
double navKnobAngle = 0.0;   // degrees; grows with every step, never wrapped
SoundSlot navSound;

constexpr uint32_t Nav1Frequency = 24;

// The coarse disc carries the band from 108 MHz at its top.
constexpr double BandBottomMhz = 108;

// The receiver's own limits: no fractional step up above 117.90 MHz or
// down below 108.05, no whole-MHz step up from 117 or down from 108.
constexpr TuningLimits NavLimits = {.fineDownFrom = 10805,
                                    .fineUpTo = 11790,
                                    .lowestWholeMhz = 108,
                                    .highestWholeMhz = 117};

constexpr double FineTurn = 4.5;    // degrees of the knob per fractional step
constexpr double WholeTurn = 180;   // and per MHz

constexpr int32_t FaceBitmap = 2300;
constexpr int32_t CoarseDiscBitmap = 2310;  // window 2311
constexpr int32_t FineDiscBitmap = 2320;    // window 2321
constexpr int32_t MaskBitmap = 2360;        // the front, window and openings black, red index line
constexpr int32_t KnobBitmap = 2330;        // window 2331
constexpr int32_t ToneSwitchBitmap = 2370;  // frames off, on (2371)
constexpr int32_t MainSwitchBitmap = 2340;  // frame 0 turned left (off), 1 right (on)
constexpr int32_t LampBitmap = 2350;

constexpr Point DiscCentre = {177, 163};
constexpr Box FrequencyRegion = {0, 0, 350, 195};
constexpr Box ToneSwitchBox = {16, 201, 74, 74};
constexpr Box MainSwitchBox = {92, 201, 74, 74};
constexpr Box KnobBox = {3, 24, 170, 170};

constexpr uint32_t LampFailureSystem = 21, LampFailureAction = 3;
constexpr uint32_t LampSupplySystem = 14;

// ---------------------------------------------------------------- reading the host

constexpr FrequencyDisplay navDisplay(uint32_t frequency)
{
    return {.wholeMhz = decodeNavWholeMhz(frequency), .hundredths = decodeNavHundredths(frequency)};
}

DecodedRegister<FrequencyDisplay> navRegister = decodedRegister(Nav1Frequency, navDisplay);
const RadioFrequency navFrequency = {navRegister, decodeNavWholeMhz, decodeNavHundredths, navWholeMhz,
                                     navHundredths};
using NavKnob = FrequencyKnob<navFrequency, NavLimits>;

double navMhz() { return navWholeMhz + navHundredths / 100; }

// ---------------------------------------------------------------- callbacks

// Installation switches the host's identifier tone off, so that the tone
// switch, off at every load, tells the truth.
void VARDEX_HOSTAPI navService(GaugeDefinition*, int32_t serviceCode, uint32_t extra)
{
    if (serviceCode == ServiceInstall) {
        navToneOn = 0;
        triggerKeyEvent(Nav1ToneOff, 0);
    }
    if (serviceCode == ServiceBeforeUpdate)
        refreshFrequency(navFrequency);
    serveSoundSlot(navSound, LeverClickClip, serviceCode, extra);
}

double VARDEX_HOSTAPI coarseDiscTurn(GaugeElement*) { return navMhz() - BandBottomMhz; }
double VARDEX_HOSTAPI fineDiscTurn(GaugeElement*) { return navHundredths / 100; }
double VARDEX_HOSTAPI knobTurn(GaugeElement*) { return navKnobAngle; }

constexpr KnobHalf TuneDown = NavKnob::down({66445, -FineTurn}, {65640, -WholeTurn});  // 0x1038D, 0x10068
constexpr KnobHalf TuneUp = NavKnob::up({66446, FineTurn}, {65641, WholeTurn});        // 0x1038E, 0x10069

// Switching off with the tone on silences the tone at the host first; the
// tone stays off when the receiver comes back on.
int32_t VARDEX_HOSTAPI mainSwitchClick(ClickRecord*, uint32_t)
{
    if (navPowerOn != 0 && navToneOn != 0) {
        navToneOn = 0;
        triggerKeyEvent(Nav1ToneOff, 0);
    }
    toggleWithClick(navPowerOn, navSound);
    return 0;
}

// Dead while the receiver is off: no event, no click.
int32_t VARDEX_HOSTAPI toneSwitchClick(ClickRecord*, uint32_t)
{
    if (navPowerOn == 0)
        return 0;
    triggerKeyEvent(navToneOn != 0 ? Nav1ToneOff : Nav1ToneOn, 0);
    toggleWithClick(navToneOn, navSound);
    return 0;
}

double VARDEX_HOSTAPI printFrequency(double, uint32_t, const char*, SourceVar*, GaugeDefinition*) { return navMhz(); }

// ---------------------------------------------------------------- elements

constexpr StaticImageElement Face = {.common = {.kind = StaticImage, .bitmap = FaceBitmap, .imageFlags = LitImage}};

constexpr SpriteElement CoarseDisc = scaleDisc(CoarseDiscBitmap, {161, 20}, DiscCentre, 9.0, coarseDiscTurn);

constexpr SpriteElement FineDisc = scaleDisc(FineDiscBitmap, {161, 35}, DiscCentre, 88.0, fineDiscTurn);

// Only what lies behind the window shows of the discs.
constexpr StaticImageElement Mask = {.common = {.kind = StaticImage, .bitmap = MaskBitmap, .imageFlags = PlainImage}};

constexpr SpriteElement Knob = tuningKnob(KnobBitmap, KnobBox, knobTurn);

constexpr IconElement ToneSwitch = twoStateSwitch(ToneSwitchBitmap, ToneSwitchBox, switchIcon<navToneOn>);

constexpr IconElement MainSwitch = twoStateSwitch(MainSwitchBitmap, MainSwitchBox, switchIcon<navPowerOn>);

FailureBinding lampFailures[] = {{LampFailureSystem, LampFailureAction}, {LampSupplySystem, FailNone}, {}};

constexpr IconElement Lamp = {.common = {.kind = Icon,
                                         .bitmap = LampBitmap,
                                         .position = {32, 12},
                                         .failures = lampFailures,
                                         .imageFlags = BrightImage},
                              .scale = 1.0,
                              .frames = 1,
                              .update = lampWhileOn<navPowerOn>};

constinit ElementChain elements{&radioNavGauge, Face, CoarseDisc, FineDisc, Mask, Knob, ToneSwitch, MainSwitch, Lamp};

// ---------------------------------------------------------------- mouse areas

// One argument array serves the three tooltips.
TooltipArg tooltipArgs[] = {numberArg(printFrequency), stringArg(printOnOff<navToneOn>),
                            stringArg(printOnOff<navPowerOn>)};
constexpr uint32_t TooltipArgCount = std::size(tooltipArgs);

MouseArea mouseAreas[] = {
    region(),
    region(FrequencyRegion),
    textTooltip("Navigation Radio NAV1 - %1!07.3f! MHz", tooltipArgs, TooltipArgCount),
    regionEnd(),
    region(ToneSwitchBox),
    textTooltip("Tone switch (%2!s!)", tooltipArgs, TooltipArgCount),
    regionEnd(),
    region(MainSwitchBox),
    textTooltip("NAV1 main switch (%3!s!)", tooltipArgs, TooltipArgCount),
    regionEnd(),
    clickArea(leftHalfOf(KnobBox), CursorDownArrow, KnobClicks, knobHalfHandler<TuneDown, navPowerOn, navKnobAngle>),
    clickArea(rightHalfOf(KnobBox), CursorUpArrow, KnobClicks, knobHalfHandler<TuneUp, navPowerOn, navKnobAngle>),
    clickArea(MainSwitchBox, CursorHand, ClickLeft, mainSwitchClick),
    clickArea(ToneSwitchBox, CursorHand, ClickLeft, toneSwitchClick),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition radioNavGauge = gaugeHeader("Radio_NAV_E10K", 100, elements.roots(), mouseAreas, navService);
