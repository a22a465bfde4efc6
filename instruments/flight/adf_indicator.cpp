// ADF_Indicator: the relative bearing of the station that the ADF receiver
// hears, in one of two presentations switched by a click on the middle of
// the dial. Radio compass (at load): a face marked 0 to 33 with a long
// needle over the full circle. Homing: an overlay face with a short arc at
// the top and a window with two arrows below, and a needle pivoting at the
// bottom that swings within 20 degrees of straight ahead and rests at the
// arc's end on the station's side. With the receiver off both needles rest.
//
// Host variables read: 39, relative bearing of the station in degrees (both
// needles). Key events sent: none. State read: adfPowerOn. State owned:
// adfIndicatorMode.
#include <array>
#include <iterator>

#include "framework/cockpit_state.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/needle_dial.h"
#include "framework/switches.h"
#include "instruments/flight/adf_bearing.h"

namespace {

// Non-zero: radio-compass presentation; 0: homing.
int32_t adfIndicatorMode = 1;

constexpr uint32_t RelativeBearing = 39;  // degrees
constexpr uint32_t IndicatorHelpId = 43776;

constexpr int32_t CompassFaceBitmap = 2070;     // 0 to 33
constexpr int32_t HomingFaceBitmap = 2100;      // overlay, the arc's marks at the top
constexpr int32_t FullCircleNeedleBitmap = 2080;
constexpr int32_t HomingNeedleBitmap = 2110;
constexpr int32_t ArrowWindowBitmap = 2120;     // the lower window with two arrows
constexpr int32_t BezelBitmap = 2090;
constexpr Box DialMiddle = {75, 75, 150, 150};

// Up at 0, down at 180: one degree per degree over the whole circle.
CalibrationPoint fullCircleTable[] = {{.point = {150, 50}, .value = 0}, {.point = {150, 250}, .value = 180}};
// One degree per unit about the pivot at the bottom; 0 to 20 point as 360 to 380.
CalibrationPoint homingTable[] = {
    {.point = {73, 67}, .value = 340}, {.point = {150, 52}, .value = 360}, {.point = {227, 67}, .value = 380}};

// The host zeroes both needles on failure 21 and freezes them on failure 20.
constexpr std::array<FailureBinding, 3> NeedleFailures = {{{21, FailZero}, {20, FailFreeze}, {}}};
std::array<FailureBinding, 3> fullCircleFailures = NeedleFailures;
std::array<FailureBinding, 3> homingFailures = NeedleFailures;

// ---------------------------------------------------------------- callbacks

bool radioCompass() { return adfIndicatorMode != 0; }

// Both the homing face and the arrow window.
double VARDEX_HOSTAPI homingOverlayUpdate(GaugeElement*) { return frameWhen(!radioCompass()); }

double VARDEX_HOSTAPI fullCircleNeedleUpdate(GaugeElement* element)
{
    showWhen(element, radioCompass());
    return adfPowerOn != 0 ? fullCircleBearing(needleSource(element)) : FullCircleRest;
}

double VARDEX_HOSTAPI homingNeedleUpdate(GaugeElement* element)
{
    double bearing = needleSource(element);
    showWhen(element, !radioCompass());
    return adfPowerOn != 0 ? homingBearing(bearing) : HomingRest;
}

// No sound, nothing sent.
int32_t VARDEX_HOSTAPI presentationToggle(ClickRecord*, uint32_t)
{
    toggleSwitch(adfIndicatorMode);
    return 0;
}

// ---------------------------------------------------------------- elements

constexpr StaticImageElement CompassFace = {
    .common = {.kind = StaticImage, .bitmap = CompassFaceBitmap, .imageFlags = DialFaceFlags}};

constexpr IconElement HomingFace = {.common = {.kind = Icon, .bitmap = HomingFaceBitmap, .imageFlags = DialFaceFlags},
                                    .scale = 1.0,
                                    .frames = 1,
                                    .update = homingOverlayUpdate};

constexpr NeedleElement FullCircleNeedle = {.common = {.kind = Needle,
                                                       .bitmap = FullCircleNeedleBitmap,
                                                       .position = {150, 150},
                                                       .offset = {108, 11},
                                                       .failures = fullCircleFailures.data(),
                                                       .imageFlags = DialNeedleFlags},
                                            .source = hostVar(RelativeBearing),
                                            .table = fullCircleTable,
                                            .pointCount = std::size(fullCircleTable),
                                            .update = fullCircleNeedleUpdate};

constexpr NeedleElement HomingNeedle = {.common = {.kind = Needle,
                                                   .bitmap = HomingNeedleBitmap,
                                                   .position = {150, 279},
                                                   .offset = {0, 7},
                                                   .failures = homingFailures.data(),
                                                   .imageFlags = DialNeedleFlags},
                                        .source = hostVar(RelativeBearing),
                                        .table = homingTable,
                                        .pointCount = std::size(homingTable),
                                        .update = homingNeedleUpdate};

constexpr IconElement ArrowWindow = {
    .common = {.kind = Icon, .bitmap = ArrowWindowBitmap, .imageFlags = DialBezelFlags},
    .scale = 1.0,
    .frames = 1,
    .update = homingOverlayUpdate};

constexpr StaticImageElement Bezel = {
    .common = {.kind = StaticImage, .bitmap = BezelBitmap, .imageFlags = DialBezelFlags}};

constinit ElementChain elements{&adfIndicatorGauge, CompassFace, HomingFace, FullCircleNeedle,
                                HomingNeedle,       ArrowWindow, Bezel};

// ---------------------------------------------------------------- mouse areas

MouseArea mouseAreas[] = {
    region({}, IndicatorHelpId),
    clickArea(DialMiddle, CursorHand, ClickLeft, presentationToggle),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition adfIndicatorGauge = gaugeHeader("ADF_Indicator", 100, elements.roots(), mouseAreas);
