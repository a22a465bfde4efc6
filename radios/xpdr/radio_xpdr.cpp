// Radio_XPDR_FUG25A6: the IFF transponder. Four number wheels show the
// host's four-digit code, each under a selector knob whose pointer stands
// at its digit; a click on a knob's left half steps the digit down, on its
// right half up. A main switch with a pilot lamp gates the knobs. The host
// owns the code and performs every step; the wheels show it when it is read
// back. The main switch is ours and is never reported.
//
// Host variables read: 38, the code, one digit per 4-bit group (0x1200 is
// 1200). Key events sent: 65651/66455 thousands up/down, 65652/66456
// hundreds, 65653/66457 tens, 65654/66458 units, value 0, one per click.
// State owned: xpdrPowerOn (cockpit_state.h, cleared by the shut-down
// gauge); xpdrCode; the main switch's sound slot (clip 30).
#include <array>
#include <iterator>

#include "framework/cockpit_state.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/host_register.h"
#include "framework/host_services.h"
#include "framework/switches.h"
#include "radios/xpdr/transponder_code.h"
#include "sound/sound_slot.h"

int32_t xpdrPowerOn = 0;

namespace {

constexpr uint32_t TransponderCode = 38;

DecodedRegister<TransponderDigits> xpdrCode = decodedRegister(TransponderCode, transponderDigits);  // read each frame
SoundSlot xpdrSound;

constexpr uint32_t ThousandsUp = 65651, ThousandsDown = 66455;  // 0x10073, 0x10397
constexpr uint32_t HundredsUp = 65652, HundredsDown = 66456;    // 0x10074, 0x10398
constexpr uint32_t TensUp = 65653, TensDown = 66457;            // 0x10075, 0x10399
constexpr uint32_t UnitsUp = 65654, UnitsDown = 66458;          // 0x10076, 0x1039A
constexpr uint32_t TransponderHelpId = 12672;

constexpr int32_t PlateBitmap = 2170;
constexpr int32_t KnobPointerBitmap = 2220;
constexpr int32_t WheelBitmap = 2180;         // strip 0-9 and 0 again; window 2181
constexpr int32_t IdentSwitchBitmap = 2210;   // two frames
constexpr int32_t LampBitmap = 2200;
constexpr int32_t MainSwitchBitmap = 2190;    // frame 0 off (left), 1 on (right)
constexpr Point KnobPointerHub = {25, 25};
constexpr double WheelTop = 0.0, WheelBottom = 10.0;

constexpr Box UpperPlate = {0, 0, 400, 120};
constexpr Box LowerPlate = {135, 120, 190, 130};
constexpr Box MainSwitch = {76, 120, 50, 50};
constexpr Box MainSwitchLeft = {76, 120, 25, 50};
constexpr Box MainSwitchRight = {101, 120, 25, 50};
constexpr int32_t KnobHalfWidth = 25, KnobHeight = 50;

// ---------------------------------------------------------------- callbacks

// A knob's pointer stands at its digit of the code as the host had it at
// the start of the frame.
template <double TransponderDigits::*digit>
double VARDEX_HOSTAPI knobPointerUpdate(GaugeElement*)
{
    return xpdrCode.decoded.*digit;
}

// A wheel shows its digit whether the transponder is on or off; it is lit
// only while on, and redrawn every frame.
template <double TransponderDigits::*digit>
double VARDEX_HOSTAPI wheelUpdate(GaugeElement* element)
{
    if (element) {
        if (xpdrPowerOn != 0)
            element->imageFlags |= ImageLuminous;
        else
            element->imageFlags &= ~ImageLuminous;
        element->imageFlags &= ~ImageOnScreen;
    }
    return xpdrCode.decoded.*digit;
}

// The identification switch has no click area: it stays at rest.
double VARDEX_HOSTAPI identSwitchUpdate(GaugeElement*) { return 0.0; }
double VARDEX_HOSTAPI mainSwitchUpdate(GaugeElement*) { return switchFrame(xpdrPowerOn); }

// The host steps the digit and decides what follows its highest; we only
// read the code back.
template <uint32_t keyEvent>
int32_t VARDEX_HOSTAPI digitStep(ClickRecord*, uint32_t)
{
    if (xpdrPowerOn != 0)
        triggerKeyEvent(keyEvent, 0);
    return 0;
}

// Each half of the switch throws it one way; a click on the side it
// already stands at does nothing and makes no sound.
void throwMainSwitch(int32_t wanted)
{
    if ((xpdrPowerOn != 0) == (wanted != 0))
        return;
    xpdrPowerOn = wanted;
    playClip(xpdrSound);
}

int32_t VARDEX_HOSTAPI switchOff(ClickRecord*, uint32_t)
{
    throwMainSwitch(0);
    return 0;
}

int32_t VARDEX_HOSTAPI switchOn(ClickRecord*, uint32_t)
{
    throwMainSwitch(1);
    return 0;
}

// The code is read once a frame, before the wheels and pointers ask for
// their digits, and decoded when it changed; installation and removal
// serve the sound slot.
void VARDEX_HOSTAPI transponderService(GaugeDefinition*, int32_t serviceCode, uint32_t extra)
{
    if (serviceCode == ServiceBeforeUpdate)
        refreshRegister(xpdrCode);
    serveSoundSlot(xpdrSound, LeverClickClip, serviceCode, extra);
}

// ---------------------------------------------------------------- elements

// The code display and the switches are not drawn on failures 20 and 21.
constexpr std::array<FailureBinding, 4> DisplayFailures = {{{20, FailNoDraw}, {21, FailNoDraw}, {17, FailNone}, {}}};
std::array<FailureBinding, 4> displayFailures[] = {DisplayFailures, DisplayFailures, DisplayFailures,
                                                   DisplayFailures, DisplayFailures, DisplayFailures,
                                                   DisplayFailures};
enum DisplayFailureList {
    UnitsWheelFailures,
    TensWheelFailures,
    HundredsWheelFailures,
    ThousandsWheelFailures,
    IdentSwitchFailures,
    LampFailures,
    MainSwitchFailures
};

// Digit 0 straight up from the pivot, 8 straight down: 22.5 degrees a digit.
CalibrationPoint unitsTable[] = {{.point = {365, 43}, .value = 0}, {.point = {365, 93}, .value = 8}};
CalibrationPoint tensTable[] = {{.point = {275, 35}, .value = 0}, {.point = {275, 85}, .value = 8}};
CalibrationPoint hundredsTable[] = {{.point = {220, 34}, .value = 0}, {.point = {220, 84}, .value = 8}};
CalibrationPoint thousandsTable[] = {{.point = {164, 34}, .value = 0}, {.point = {164, 84}, .value = 8}};

template <size_t Points>
constexpr NeedleElement knobPointer(Point position, CalibrationPoint (&table)[Points], UpdateCallback update)
{
    return {.common = {.kind = Needle,
                       .bitmap = KnobPointerBitmap,
                       .position = position,
                       .offset = KnobPointerHub,
                       .imageFlags = SmoothImage},
            .table = table,
            .pointCount = Points,
            .update = update};
}

constexpr MovingImageElement wheel(Point position, FailureBinding* failures, UpdateCallback update)
{
    return {.common = {.kind = MovingImage,
                       .bitmap = WheelBitmap,
                       .position = position,
                       .failures = failures,
                       .imageFlags = SmoothImage},
            .ySource = hostVar(TransponderCode),
            .yMin = WheelTop,
            .yMax = WheelBottom,
            .yUpdate = update};
}

constexpr IconElement switchIcon(int32_t bitmap, Point position, uint32_t flags, uint32_t frames,
                                 FailureBinding* failures, UpdateCallback update)
{
    return {.common = {.kind = Icon, .bitmap = bitmap, .position = position, .failures = failures, .imageFlags = flags},
            .scale = 1.0,
            .frames = frames,
            .update = update};
}

constexpr StaticImageElement Plate = {.common = {.kind = StaticImage, .bitmap = PlateBitmap, .imageFlags = PlainImage}};

constexpr NeedleElement UnitsPointer = knobPointer({365, 68}, unitsTable, knobPointerUpdate<&TransponderDigits::units>);
constexpr NeedleElement TensPointer = knobPointer({275, 60}, tensTable, knobPointerUpdate<&TransponderDigits::tens>);
constexpr NeedleElement HundredsPointer = knobPointer({220, 59}, hundredsTable, knobPointerUpdate<&TransponderDigits::hundreds>);
constexpr NeedleElement ThousandsPointer =
    knobPointer({164, 59}, thousandsTable, knobPointerUpdate<&TransponderDigits::thousands>);

constexpr MovingImageElement UnitsWheel =
    wheel({360, 5}, displayFailures[UnitsWheelFailures].data(), wheelUpdate<&TransponderDigits::units>);
constexpr MovingImageElement TensWheel =
    wheel({275, 5}, displayFailures[TensWheelFailures].data(), wheelUpdate<&TransponderDigits::tens>);
constexpr MovingImageElement HundredsWheel =
    wheel({207, 5}, displayFailures[HundredsWheelFailures].data(), wheelUpdate<&TransponderDigits::hundreds>);
constexpr MovingImageElement ThousandsWheel =
    wheel({135, 5}, displayFailures[ThousandsWheelFailures].data(), wheelUpdate<&TransponderDigits::thousands>);

constexpr IconElement IdentSwitch = switchIcon(IdentSwitchBitmap, {333, 166}, PlainImage, 2,
                                               displayFailures[IdentSwitchFailures].data(), identSwitchUpdate);
constexpr IconElement Lamp =
    switchIcon(LampBitmap, {61, 9}, BrightImage, 1, displayFailures[LampFailures].data(), lampWhileOn<xpdrPowerOn>);
constexpr IconElement MainSwitchIcon = switchIcon(MainSwitchBitmap, {76, 120}, PlainImage, 2,
                                                  displayFailures[MainSwitchFailures].data(), mainSwitchUpdate);

constinit ElementChain elements{&radioXpdrGauge,  Plate,      UnitsPointer,  TensPointer,   HundredsPointer,
                                ThousandsPointer, UnitsWheel, TensWheel,     HundredsWheel, ThousandsWheel,
                                IdentSwitch,      Lamp,       MainSwitchIcon};

// ---------------------------------------------------------------- mouse areas

TooltipArg tooltipArgs[] = {stringArg(printOnOff<xpdrPowerOn>)};

// The left half of a digit knob steps down, the right half up.
constexpr MouseArea knobHalf(Point origin, int32_t cursor, MouseHandler handler)
{
    return clickArea({origin.x, origin.y, KnobHalfWidth, KnobHeight}, cursor, ClickLeft | ClickRepeat, handler);
}

MouseArea mouseAreas[] = {
    region(),
    region(UpperPlate),
    hostTooltip(TransponderHelpId),
    regionEnd(),
    region(LowerPlate),
    hostTooltip(TransponderHelpId),
    regionEnd(),
    region(MainSwitch),
    textTooltip("Transponder (IFF) main switch (%1!s!)", tooltipArgs, std::size(tooltipArgs)),
    regionEnd(),
    clickArea(MainSwitchLeft, CursorHand, ClickLeft, switchOff),
    clickArea(MainSwitchRight, CursorHand, ClickLeft, switchOn),
    knobHalf({139, 34}, CursorDownArrow, digitStep<ThousandsDown>),
    knobHalf({164, 34}, CursorUpArrow, digitStep<ThousandsUp>),
    knobHalf({195, 34}, CursorDownArrow, digitStep<HundredsDown>),
    knobHalf({220, 34}, CursorUpArrow, digitStep<HundredsUp>),
    knobHalf({250, 35}, CursorDownArrow, digitStep<TensDown>),
    knobHalf({275, 35}, CursorUpArrow, digitStep<TensUp>),
    knobHalf({340, 43}, CursorDownArrow, digitStep<UnitsDown>),
    knobHalf({365, 43}, CursorUpArrow, digitStep<UnitsUp>),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition radioXpdrGauge =
    gaugeHeader("Radio_XPDR_FUG25A6", 100, elements.roots(), mouseAreas, transponderService);
