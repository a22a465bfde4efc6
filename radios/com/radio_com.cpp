// Radio_COM_SK10: the COM1 radio. Two scale discs turn behind a window to
// show the host's frequency (whole MHz above, tenths and hundredths below);
// one knob tunes it, left half down, right half up, a left click by one
// 25-kHz channel, a right click by a whole MHz. The main switch is the
// module's own: the host's radio is never switched; it lights the lamp and
// lets the knob work.
//
// Host variables read: 23, COM1 frequency (BCD, com_frequency.h), every
// frame and before each knob step. Key events sent, value 0: 66434
// (0x10382) fine step down, 66435 (0x10383) fine step up, 65636 (0x10064)
// whole MHz down, 65637 (0x10065) whole MHz up.
// State owned: comPowerOn (cockpit_state.h), off at every load; the copies
// of the frequency comWholeMhz and comHundredths; comRegister, as last
// decoded; comKnobAngle; the main switch's sound slot (clip 30).
#include <iterator>

#include "framework/cockpit_state.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/radio_knob.h"
#include "framework/switches.h"
#include "radios/com/com_frequency.h"
#include "sound/sound_slot.h"

int32_t comPowerOn = 0;

namespace {

double comWholeMhz = 0.0;
double comHundredths = 0.0;   // completed to x2.5 / x7.5 for the displays; raw after a knob reads it
double comKnobAngle = 0.0;    // degrees; grows with every step, never wrapped
SoundSlot comSound;

constexpr uint32_t Com1Frequency = 23;

// The disc bitmaps carry the band from 118 MHz at their top.
constexpr double BandBottomMhz = 118;

// The fine-step limits test the frequency as delivered, without the 25-kHz
// completion: 118.025 reads 118.02 and is refused a step down, so the knob
// stops there rather than at 118.000, while 135.975 reads 135.97 and may
// still step up to 136.000. Whole-MHz steps keep the MHz within 118 to 135.
constexpr TuningLimits ComLimits = {.fineDownFrom = 11802.5,
                                    .fineUpTo = 13597.5,
                                    .lowestWholeMhz = 118,
                                    .highestWholeMhz = 135};

constexpr double FineTurn = 4.5;    // degrees of the knob per channel
constexpr double WholeTurn = 180;   // and per MHz

constexpr int32_t FaceBitmap = 2230;
constexpr int32_t CoarseDiscBitmap = 2240;  // window 2241
constexpr int32_t FineDiscBitmap = 2250;    // window 2251
constexpr int32_t MaskBitmap = 2290;        // the face again, window cut out, red index line
constexpr int32_t KnobBitmap = 2260;        // window 2261
constexpr int32_t MainSwitchBitmap = 2270;  // frame 0 off, frame 1 (2271) on
constexpr int32_t LampBitmap = 2280;        // lit

constexpr Point DiscCentre = {178, 178};  // the point of the face the discs turn about
constexpr Box KnobBox = {88, 166, 174, 174};
constexpr Box MainSwitchBox = {5, 6, 80, 80};

constexpr uint32_t LampFailureSystem = 21, LampFailureAction = 3;
constexpr uint32_t LampSupplySystem = 9;

// ---------------------------------------------------------------- reading the host

// The displays show the channel completed.
constexpr FrequencyDisplay comDisplay(uint32_t frequency)
{
    return {.wholeMhz = decodeComWholeMhz(frequency), .hundredths = decodeComChannelHundredths(frequency)};
}

DecodedRegister<FrequencyDisplay> comRegister = decodedRegister(Com1Frequency, comDisplay);
const RadioFrequency comFrequency = {comRegister, decodeComWholeMhz, decodeComHundredths, comWholeMhz,
                                     comHundredths};
using ComKnob = FrequencyKnob<comFrequency, ComLimits>;

// The frequency the discs and the tooltip show, with its 25-kHz channel
// completed, in MHz.
double completedComMhz()
{
    comHundredths = completeComHundredths(comHundredths);
    return comHundredths / 100 + comWholeMhz;
}

// ---------------------------------------------------------------- callbacks

void VARDEX_HOSTAPI comService(GaugeDefinition*, int32_t serviceCode, uint32_t extra)
{
    if (serviceCode == ServiceBeforeUpdate)
        refreshFrequency(comFrequency);
    serveSoundSlot(comSound, LeverClickClip, serviceCode, extra);
}

// 9° per MHz above the band's bottom.
double VARDEX_HOSTAPI coarseDiscTurn(GaugeElement*) { return comHundredths / 100 + comWholeMhz - BandBottomMhz; }

// 90° per MHz: 9° per 100 kHz.
double VARDEX_HOSTAPI fineDiscTurn(GaugeElement*) { return comHundredths / 100; }

double VARDEX_HOSTAPI knobTurn(GaugeElement*) { return comKnobAngle; }

constexpr KnobHalf TuneDown = ComKnob::down({66434, -FineTurn}, {65636, -WholeTurn});  // 0x10382, 0x10064
constexpr KnobHalf TuneUp = ComKnob::up({66435, FineTurn}, {65637, WholeTurn});        // 0x10383, 0x10065

// Not reported to the host: the host's radio stays as it is.
int32_t VARDEX_HOSTAPI mainSwitchClick(ClickRecord*, uint32_t)
{
    toggleWithClick(comPowerOn, comSound);
    return 0;
}

double VARDEX_HOSTAPI printFrequency(double, uint32_t, const char*, SourceVar*, GaugeDefinition*)
{
    return completedComMhz();
}

// ---------------------------------------------------------------- elements

constexpr StaticImageElement Face = {.common = {.kind = StaticImage, .bitmap = FaceBitmap, .imageFlags = LitImage}};

constexpr SpriteElement CoarseDisc = scaleDisc(CoarseDiscBitmap, {158, 10}, DiscCentre, 9.0, coarseDiscTurn);

constexpr SpriteElement FineDisc = scaleDisc(FineDiscBitmap, {158, 28}, DiscCentre, 90.0, fineDiscTurn);

// Only what lies behind the window shows of the discs.
constexpr StaticImageElement Mask = {.common = {.kind = StaticImage, .bitmap = MaskBitmap, .imageFlags = PlainImage}};

constexpr SpriteElement Knob = tuningKnob(KnobBitmap, KnobBox, knobTurn);

constexpr IconElement MainSwitch = twoStateSwitch(MainSwitchBitmap, MainSwitchBox, switchIcon<comPowerOn>);

FailureBinding lampFailures[] = {{LampFailureSystem, LampFailureAction}, {LampSupplySystem, FailNone}, {}};

constexpr IconElement Lamp = {.common = {.kind = Icon,
                                         .bitmap = LampBitmap,
                                         .position = {313, 293},
                                         .failures = lampFailures,
                                         .imageFlags = BrightImage},
                              .scale = 1.0,
                              .frames = 1,
                              .update = lampWhileOn<comPowerOn>};

constinit ElementChain elements{&radioComGauge, Face, CoarseDisc, FineDisc, Mask, Knob, MainSwitch, Lamp};

// ---------------------------------------------------------------- mouse areas

// One argument array serves the three tooltips.
TooltipArg tooltipArgs[] = {numberArg(printFrequency), stringArg(printOnOff<comPowerOn>)};
constexpr uint32_t TooltipArgCount = std::size(tooltipArgs);
constexpr const char* FrequencyTooltip = "Communications Radio COM1 - %1!07.3f! MHz";

MouseArea mouseAreas[] = {
    region(),
    region({90, 0, 260, 90}),
    textTooltip(FrequencyTooltip, tooltipArgs, TooltipArgCount),
    regionEnd(),
    region({0, 90, 350, 270}),
    textTooltip(FrequencyTooltip, tooltipArgs, TooltipArgCount),
    regionEnd(),
    region({0, 0, 90, 90}),
    textTooltip("COM1 main switch (%2!s!)", tooltipArgs, TooltipArgCount),
    regionEnd(),
    clickArea(leftHalfOf(KnobBox), CursorDownArrow, KnobClicks, knobHalfHandler<TuneDown, comPowerOn, comKnobAngle>),
    clickArea(rightHalfOf(KnobBox), CursorUpArrow, KnobClicks, knobHalfHandler<TuneUp, comPowerOn, comKnobAngle>),
    clickArea(MainSwitchBox, CursorHand, ClickLeft, mainSwitchClick),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition radioComGauge = gaugeHeader("Radio_COM_SK10", 100, elements.roots(), mouseAreas, comService);
