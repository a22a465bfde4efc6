// Airspeed: the indicated airspeed on one of two dials, chosen every frame
// by the units switch. Metric: a km/h dial, 0 to 1000 with a change of
// scale at 400 (the two 400 marks lie under a blade on the bezel). British:
// a knots overlay, hundreds of knots, 0 to 700, with its own needle. The
// needle of the dial not in use is hidden and held at 0.
//
// Host variables read: 61, indicated airspeed in knots (both needles).
// Key events sent: none. State read: britishUnits.
#include <array>

#include "framework/cockpit_state.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/needle_dial.h"
#include "framework/switches.h"

namespace {

constexpr uint32_t IndicatedAirspeed = 61;  // knots

// The dial's own conversion: its km/h marks were laid out with this factor,
// not the exact 1.852.
constexpr double KmhPerKnot = 1.8512821;

constexpr int32_t KmhFaceBitmap = 290;
constexpr int32_t KnotsFaceBitmap = 320;   // overlay, 1 to 6 from the top
constexpr int32_t NeedleBitmap = 300;      // pointing to +x
constexpr int32_t BezelBitmap = 310;       // ring
constexpr int32_t BladeBitmap = 330;       // the scale-gap blade, in the upper-left quarter
constexpr Point NeedlePivot = {150, 151};
constexpr Point NeedleHub = {43, 28};

constexpr uint32_t UpperHalfHelpId = 12290;
constexpr uint32_t LowerHalfHelpId = 12289;
constexpr Box UpperHalf = {0, 0, 300, 150};
constexpr Box LowerHalf = {0, 150, 300, 150};

// Points 4 and 5 put the two 400 marks 4 km/h apart, so the needle jumps
// the gap under the blade; the last point repeats the one before as the
// end stop.
CalibrationPoint kmhTable[] = {
    {.point = {150, 264}, .value = 0},   {.point = {125, 262}, .value = 100}, {.point = {43, 151}, .value = 300},
    {.point = {59, 98}, .value = 398},   {.point = {86, 69}, .value = 402},   {.point = {150, 47}, .value = 500},
    {.point = {209, 60}, .value = 600},  {.point = {255, 116}, .value = 700}, {.point = {255, 181}, .value = 800},
    {.point = {223, 230}, .value = 900}, {.point = {176, 260}, .value = 1000}, {.point = {176, 260}, .value = 1100},
};

// Almost a full turn clockwise from the top; the last point is the stop.
CalibrationPoint knotsTable[] = {
    {.point = {151, 48}, .value = 0},   {.point = {172, 47}, .value = 50}, {.point = {150, 252}, .value = 350},
    {.point = {129, 49}, .value = 650}, {.point = {129, 49}, .value = 700},
};

// Pitot-static and airspeed-indicator failures zero both needles.
constexpr std::array<FailureBinding, 3> NeedleFailures = {{{6, FailZero}, {3, FailZero}, {}}};
std::array<FailureBinding, 3> kmhFailures = NeedleFailures;
std::array<FailureBinding, 3> knotsFailures = NeedleFailures;

// ---------------------------------------------------------------- callbacks

bool metric() { return britishUnits == 0; }

double VARDEX_HOSTAPI knotsFaceUpdate(GaugeElement*) { return frameWhen(!metric()); }

double VARDEX_HOSTAPI kmhNeedleUpdate(GaugeElement* element)
{
    return needleWhen(element, metric(), finiteOr(needleSource(element) * KmhPerKnot, 0.0));
}

double VARDEX_HOSTAPI knotsNeedleUpdate(GaugeElement* element)
{
    return needleWhen(element, !metric(), finiteOr(needleSource(element), 0.0));
}

double VARDEX_HOSTAPI bladeUpdate(GaugeElement*) { return frameWhen(metric()); }

// ---------------------------------------------------------------- elements

constexpr StaticImageElement KmhFace = {
    .common = {.kind = StaticImage, .bitmap = KmhFaceBitmap, .imageFlags = DialFaceFlags}};

constexpr IconElement KnotsFace = {.common = {.kind = Icon, .bitmap = KnotsFaceBitmap, .imageFlags = DialFaceFlags},
                                   .scale = 1.0,
                                   .frames = 1,
                                   .update = knotsFaceUpdate};

constexpr NeedleElement KmhNeedle = {.common = {.kind = Needle,
                                                .bitmap = NeedleBitmap,
                                                .position = NeedlePivot,
                                                .offset = NeedleHub,
                                                .failures = kmhFailures.data(),
                                                .imageFlags = DialNeedleFlags},
                                     .source = hostVar(IndicatedAirspeed),
                                     .table = kmhTable,
                                     .pointCount = std::size(kmhTable),
                                     .update = kmhNeedleUpdate};

constexpr NeedleElement KnotsNeedle = {.common = {.kind = Needle,
                                                  .bitmap = NeedleBitmap,
                                                  .position = NeedlePivot,
                                                  .offset = NeedleHub,
                                                  .failures = knotsFailures.data(),
                                                  .imageFlags = DialNeedleFlags},
                                       .source = hostVar(IndicatedAirspeed),
                                       .table = knotsTable,
                                       .pointCount = std::size(knotsTable),
                                       .update = knotsNeedleUpdate};

constexpr StaticImageElement Bezel = {
    .common = {.kind = StaticImage, .bitmap = BezelBitmap, .imageFlags = DialBezelFlags}};

// Part of the bezel, but lit at night like the faces.
constexpr IconElement Blade = {.common = {.kind = Icon, .bitmap = BladeBitmap, .imageFlags = DialFaceFlags},
                               .scale = 1.0,
                               .frames = 1,
                               .update = bladeUpdate};

constinit ElementChain elements{&airspeedGauge, KmhFace, KnotsFace, KmhNeedle, KnotsNeedle, Bezel, Blade};

// ---------------------------------------------------------------- mouse areas
// Nothing to click; the host supplies the two halves' tooltips.

MouseArea mouseAreas[] = {
    region(),
    region(UpperHalf),
    hostTooltip(UpperHalfHelpId),
    regionEnd(),
    region(LowerHalf),
    hostTooltip(LowerHalfHelpId),
    regionEnd(),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition airspeedGauge = gaugeHeader("Airspeed", 100, elements.roots(), mouseAreas);
