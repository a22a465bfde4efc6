// Flaps_Indicator: flaps position on an arc from ZU (closed, at the top) to
// AUF (open, at the bottom), marks 10 degrees of flap apart.
//
// Reads host variable 330 (flaps position, host units: 0 up, 16382 full).
// Sends no key events. Owns flapsSmoothed: the needle does not follow the
// host value directly but a first-order lag of it, advanced once per frame
// by the needle's callback and printed by the tooltip in whole degrees.
#include <algorithm>
#include <cmath>

#include "framework/gauge_list.h"
#include "framework/needle_dial.h"

namespace {

constexpr uint32_t FlapsPosition = 330;

// Each frame closes this share of the gap to the host value: half a step
// change after 6 frames, nine tenths after 18.
constexpr double LagGain = 0.125;

// The tooltip's degrees: 50 at this value, a little short of the scale's
// end (16382), so that full flaps still print 50.
constexpr double HostUnitsAtFiftyDegrees = 16380.0;
constexpr double FullFlapDegrees = 50.0;

double flapsSmoothed = 0.0;

// The lag stays within one full scale beyond either stop. Every value a
// flaps lever can give lies well inside; one absurd sample (1e300) would
// otherwise carry the lag so far out that the needle sat at the end of the
// scale for minutes after the host's values were sane again.
constexpr double FullScale = 16383.0;  // the host's flaps units at full travel
constexpr double LagLow = -FullScale, LagHigh = 2 * FullScale;

// One step of the lag. A step that gives no finite number (the host's value
// is not a number, or infinite) is skipped: the needle holds where it was,
// and the next good sample moves it on from there.
double smoothFlaps(double smoothed, double sample)
{
    double next = LagGain * sample + (1.0 - LagGain) * smoothed;
    return std::isfinite(next) ? std::clamp(next, LagLow, LagHigh) : smoothed;
}

// Whole degrees of flap, truncated toward zero (3275.9 prints 9, not 10).
double flapDegrees(double smoothed) { return std::trunc(FullFlapDegrees * smoothed / HostUnitsAtFiftyDegrees); }

double VARDEX_HOSTAPI showFlaps(GaugeElement* needle)
{
    return flapsSmoothed = smoothFlaps(flapsSmoothed, needleSource(needle));
}

double VARDEX_HOSTAPI printFlapDegrees(double, uint32_t, const char*, SourceVar*, GaugeDefinition*)
{
    return flapDegrees(flapsSmoothed);
}

constexpr CalibrationPoint scale[] = {
    {{124, 41}, 0},      // 0 degrees, ZU
    {{141, 63}, 3276},   // 10
    {{150, 90}, 6553},   // 20
    {{150, 123}, 9830},  // 30
    {{138, 151}, 13107}, // 40
    {{117, 171}, 16382}, // 50, AUF
};

constexpr FailureBinding failures[] = {{20, FailNone}};

// The needle turns left of the centre and sweeps the right-hand arc.
constexpr DialParts parts = {
    .face = 1420, .needle = 1430, .bezel = 1440, .needlePosition = {59, 100}, .needleOffset = {0, 4}};

// The host draws tooltips in the Windows ANSI code page, where the degree
// sign is 0xB0.
constinit NeedleDial dial{{.gauge = &flapsIndicatorGauge,
                           .parts = parts,
                           .variable = FlapsPosition,
                           .update = showFlaps,
                           .failures = failures,
                           .tooltip = "Flaps position indicator (%1!d!\xB0)",
                           .tooltipValue = printFlapDegrees},
                          scale};

}  // namespace

GaugeDefinition flapsIndicatorGauge = gaugeHeader("Flaps_Indicator", 100, dial.elements.roots(), dial.mouseAreas);
