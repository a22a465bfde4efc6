// Vertical_Speed: the rate of climb, on a metric face in m/s (0 at the
// left; 5, 10, 20, 30 up for climbing and down for sinking) or, with the
// units switch on British, on an overlay in thousands of feet per minute
// (0.5, 1, 2, 4, 6). Each face has its own needle; unlike the airspeed
// indicator and the altimeter, the hidden needle keeps tracking the value,
// and a cover over the needle hub belongs to the metric face alone.
//
// Host variables read: 65, vertical speed, 256 units per metre per second.
// Key events sent: none. State read: britishUnits.
#include <array>

#include "framework/cockpit_state.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/needle_dial.h"
#include "framework/switches.h"

namespace {

constexpr uint32_t VerticalSpeed = 65;      // 1/256 m/s

// Host units for k feet per minute, divided in this order as the British
// face's marks were laid out.
constexpr double FeetPerMetre = 3.28084;
constexpr double SecondsPerMinute = 60.0;
constexpr double UnitsPerMetrePerSecond = 256.0;
constexpr double feetPerMinute(double k) { return k / FeetPerMetre / SecondsPerMinute * UnitsPerMetrePerSecond; }
constexpr double metresPerSecond(double k) { return k * UnitsPerMetrePerSecond; }

constexpr int32_t MetricFaceBitmap = 1100;
constexpr int32_t BritishFaceBitmap = 1140;  // overlay
constexpr int32_t NeedleBitmap = 1110;       // pointing to +x
constexpr int32_t MetricCoverBitmap = 1130;  // over the hub to the right edge
constexpr int32_t BezelBitmap = 1120;
constexpr Point NeedlePivot = {150, 150};
constexpr Point NeedleHub = {36, 15};

constexpr uint32_t UpperHalfHelpId = 12441;
constexpr uint32_t LowerHalfHelpId = 12440;

// The first two and the last two points share a position: the stops at
// 30 m/s either way.
CalibrationPoint metricTable[] = {
    {.point = {230, 230}, .value = metresPerSecond(-40)}, {.point = {230, 230}, .value = metresPerSecond(-30)},
    {.point = {187, 256}, .value = metresPerSecond(-20)}, {.point = {137, 266}, .value = metresPerSecond(-10)},
    {.point = {75, 235}, .value = metresPerSecond(-5)},   {.point = {36, 151}, .value = metresPerSecond(0)},
    {.point = {75, 68}, .value = metresPerSecond(5)},     {.point = {137, 40}, .value = metresPerSecond(10)},
    {.point = {187, 51}, .value = metresPerSecond(20)},   {.point = {230, 74}, .value = metresPerSecond(30)},
    {.point = {230, 74}, .value = metresPerSecond(40)},
};

// The stops at 6000 ft/min either way.
CalibrationPoint britishTable[] = {
    {.point = {259, 170}, .value = feetPerMinute(-7000)}, {.point = {259, 170}, .value = feetPerMinute(-6000)},
    {.point = {176, 257}, .value = feetPerMinute(-3000)}, {.point = {119, 257}, .value = feetPerMinute(-2000)},
    {.point = {65, 222}, .value = feetPerMinute(-1000)},  {.point = {30, 150}, .value = feetPerMinute(0)},
    {.point = {65, 78}, .value = feetPerMinute(1000)},    {.point = {119, 42}, .value = feetPerMinute(2000)},
    {.point = {177, 45}, .value = feetPerMinute(3000)},   {.point = {259, 130}, .value = feetPerMinute(6000)},
    {.point = {259, 130}, .value = feetPerMinute(7000)},
};

// Both needles freeze with failure system 19 and drop to zero with 3.
constexpr std::array<FailureBinding, 3> NeedleFailures = {{{19, FailFreeze}, {3, FailZero}, {}}};
std::array<FailureBinding, 3> britishFailures = NeedleFailures;
std::array<FailureBinding, 3> metricFailures = NeedleFailures;

// ---------------------------------------------------------------- callbacks

bool british() { return britishUnits != 0; }

// The needle not in use is hidden but fed the same value.
double tracking(GaugeElement* needle, bool shown)
{
    showWhen(needle, shown);
    return finiteOr(needleSource(needle), 0.0);
}

double VARDEX_HOSTAPI britishFaceUpdate(GaugeElement*) { return frameWhen(british()); }
double VARDEX_HOSTAPI britishNeedleUpdate(GaugeElement* needle) { return tracking(needle, british()); }
double VARDEX_HOSTAPI metricNeedleUpdate(GaugeElement* needle) { return tracking(needle, !british()); }
double VARDEX_HOSTAPI metricCoverUpdate(GaugeElement*) { return frameWhen(!british()); }

// ---------------------------------------------------------------- elements

constexpr StaticImageElement MetricFace = {
    .common = {.kind = StaticImage, .bitmap = MetricFaceBitmap, .imageFlags = DialFaceFlags}};

constexpr IconElement BritishFace = {.common = {.kind = Icon, .bitmap = BritishFaceBitmap, .imageFlags = DialFaceFlags},
                                     .scale = 1.0,
                                     .frames = 1,
                                     .update = britishFaceUpdate};

constexpr NeedleElement BritishNeedle = {.common = {.kind = Needle,
                                                    .bitmap = NeedleBitmap,
                                                    .position = NeedlePivot,
                                                    .offset = NeedleHub,
                                                    .failures = britishFailures.data(),
                                                    .imageFlags = DialNeedleFlags},
                                         .source = hostVar(VerticalSpeed),
                                         .table = britishTable,
                                         .pointCount = std::size(britishTable),
                                         .update = britishNeedleUpdate};

constexpr NeedleElement MetricNeedle = {.common = {.kind = Needle,
                                                   .bitmap = NeedleBitmap,
                                                   .position = NeedlePivot,
                                                   .offset = NeedleHub,
                                                   .failures = metricFailures.data(),
                                                   .imageFlags = DialNeedleFlags},
                                        .source = hostVar(VerticalSpeed),
                                        .table = metricTable,
                                        .pointCount = std::size(metricTable),
                                        .update = metricNeedleUpdate};

constexpr IconElement MetricCover = {.common = {.kind = Icon, .bitmap = MetricCoverBitmap, .imageFlags = DialFaceFlags},
                                     .scale = 1.0,
                                     .frames = 1,
                                     .update = metricCoverUpdate};

constexpr StaticImageElement Bezel = {
    .common = {.kind = StaticImage, .bitmap = BezelBitmap, .imageFlags = DialBezelFlags}};

constinit ElementChain elements{&verticalSpeedGauge, MetricFace,  BritishFace, BritishNeedle,
                                MetricNeedle,        MetricCover, Bezel};

// ---------------------------------------------------------------- mouse areas
// Nothing to click; the host supplies the two halves' tooltips.

MouseArea mouseAreas[] = {
    region(),
    region({0, 0, 300, 150}),
    hostTooltip(UpperHalfHelpId),
    regionEnd(),
    region({0, 150, 300, 150}),
    hostTooltip(LowerHalfHelpId),
    regionEnd(),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition verticalSpeedGauge = gaugeHeader("Vertical_Speed", 100, elements.roots(), mouseAreas);
