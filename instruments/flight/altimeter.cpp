// Altimeter: the indicated altitude and the pressure setting, in one of two
// presentations chosen every frame by the units switch.
// Metric: a face in tenths of a kilometre (one needle turn per 1000 m), a
// counter window with whole kilometres (0 to 20) and a sliding millibar
// tape (1050 to 930). British: a face marked 0 to 9 with three needles
// (hundreds, thousands and ten-thousands of feet) and an inches-of-mercury
// disc turning behind a window at the right. Every element of one
// presentation hides itself in the other.
//
// Host variables read: 74, indicated altitude in feet (needles, counter);
// 75, pressure setting in millibars (tape); 76, pressure setting in inches
// of mercury (disc).
// Key events sent: none by the module; the knob's two halves make the host
// send 65884 (down) and 65883 (up), which step the pressure setting.
// State read: britishUnits.
#include <algorithm>
#include <array>
#include <cmath>

#include "framework/cockpit_state.h"
#include "framework/element_sources.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/needle_dial.h"
#include "framework/switches.h"

namespace {

constexpr uint32_t IndicatedAltitude = 74;   // feet
constexpr uint32_t PressureMillibars = 75;
constexpr uint32_t PressureInches = 76;      // inches of mercury

constexpr uint32_t PressureDown = 65884;     // 0x1015C
constexpr uint32_t PressureUp = 65883;       // 0x1015B

// The instrument's own conversion, multiplied first and then divided.
constexpr double MetreFactor = 0.3047693;
constexpr double MetreDivisor = 1.009205;
constexpr double MetresPerKilometre = 1000.0;

// The disc's marks run 27.9 to 31.5, 0.1 inch apart; the window's index
// shows 29.9 with the disc unturned, and it turns 90 degrees per inch.
constexpr double LowestInches = 27.9;
constexpr double HighestInches = 31.5;
constexpr double IndexInches = 29.9;
constexpr double DiscDegreesPerInch = 90.0;

// The millibar tape runs from 1050 at its left end to 930 at its right.
constexpr double TapeLeftMillibars = 1050.0;
constexpr double TapeRightMillibars = 930.0;

// A setting the host reports as no number reads as standard pressure.
constexpr double StandardMillibars = 1013.25;
constexpr double StandardInches = 29.92;

// The counter tape holds 0 to 20 km; far beyond it the host shows the end
// anyway, so the counter's value is kept within this many kilometres,
// where any host can turn it into an integer.
constexpr double CounterTapeKilometres = 20.0;
constexpr double CounterLimitKilometres = 1000.0;

constexpr int32_t MetricFaceBitmap = 430;      // tenths of a km, 0 at the bottom
constexpr int32_t BritishFaceBitmap = 370;     // overlay, 0 to 9
constexpr int32_t InchesDiscBitmap = 380;      // window 381
constexpr int32_t MillibarTapeBitmap = 360;    // window 361
constexpr int32_t TenThousandsBitmap = 420;
constexpr int32_t ThousandsBitmap = 410;
constexpr int32_t HundredsBitmap = 400;
constexpr int32_t KilometreTapeBitmap = 350;   // digits 0 to 20; window 351
constexpr int32_t MetreNeedleBitmap = 340;
constexpr int32_t BezelBitmap = 390;           // with the knob

constexpr Point DialCentre = {150, 150};

constexpr uint32_t LeftHalfHelpId = 12369;
constexpr uint32_t RightHalfHelpId = 12368;
constexpr uint32_t BelowDialHelpId = 12372;
constexpr Box KnobRegion = {123, 276, 54, 54};
constexpr uint32_t PressureKnobClicks = ClickLeft | ClickRepeat;

// Each needle receives the whole altitude and turns as often as it
// demands: two points half a turn apart, the host continuing the rate.
CalibrationPoint tenThousandsTable[] = {{.point = {150, 100}, .value = 0}, {.point = {150, 200}, .value = 50000}};
CalibrationPoint thousandsTable[] = {{.point = {150, 100}, .value = 0}, {.point = {150, 200}, .value = 5000}};
// The extra point at the 0 position holds the hundreds needle at 0 below
// sea level.
CalibrationPoint hundredsTable[] = {
    {.point = {150, 100}, .value = -1}, {.point = {150, 100}, .value = 0}, {.point = {150, 200}, .value = 500}};
// The metric face has its 0 at the bottom and 0.5 km at the top.
CalibrationPoint metresTable[] = {{.point = {150, 260}, .value = 0}, {.point = {150, 40}, .value = 500}};

// Every needle freezes with failure system 7 and drops to zero with 3.
constexpr std::array<FailureBinding, 3> NeedleFailures = {{{7, FailFreeze}, {3, FailZero}, {}}};
std::array<FailureBinding, 3> tenThousandsFailures = NeedleFailures;
std::array<FailureBinding, 3> thousandsFailures = NeedleFailures;
std::array<FailureBinding, 3> hundredsFailures = NeedleFailures;
std::array<FailureBinding, 3> metresFailures = NeedleFailures;

// ---------------------------------------------------------------- callbacks

bool british() { return britishUnits != 0; }

double metres(double feet) { return feet * MetreFactor / MetreDivisor; }

// Whole kilometres, rounded down: 300 m below sea level reads -1.
double kilometres(double m)
{
    return std::clamp(std::floor(finiteOr(m, 0.0) / MetresPerKilometre), -CounterLimitKilometres,
                      CounterLimitKilometres);
}

// The disc's turn from its index, in inches: the setting held within the
// disc's marks.
double discInches(double inches)
{
    if (std::isnan(inches))
        inches = StandardInches;
    return std::clamp(inches, LowestInches, HighestInches) - IndexInches;
}

double tapeMillibars(double millibars)
{
    if (std::isnan(millibars))
        return StandardMillibars;
    return std::clamp(millibars, TapeRightMillibars, TapeLeftMillibars);
}

// Every element of one presentation, needle, disc or tape, is hidden and
// held at 0 while the other is in use: needleWhen does that for each.
double VARDEX_HOSTAPI britishFaceUpdate(GaugeElement*) { return frameWhen(british()); }

double VARDEX_HOSTAPI inchesDiscUpdate(GaugeElement* disc)
{
    return needleWhen(disc, british(), discInches(spriteRotationSource(disc)));
}

double VARDEX_HOSTAPI millibarTapeUpdate(GaugeElement* tape)
{
    return needleWhen(tape, !british(), tapeMillibars(movingImageXSource(tape)));
}

// One callback for the three British needles.
double VARDEX_HOSTAPI feetNeedleUpdate(GaugeElement* needle)
{
    return needleWhen(needle, british(), finiteOr(needleSource(needle), 0.0));
}

double VARDEX_HOSTAPI kilometreCounterUpdate(GaugeElement* counter)
{
    return needleWhen(counter, !british(), kilometres(metres(movingImageXSource(counter))));
}

double VARDEX_HOSTAPI metreNeedleUpdate(GaugeElement* needle)
{
    return needleWhen(needle, !british(), finiteOr(metres(needleSource(needle)), 0.0));
}

// ---------------------------------------------------------------- elements

constexpr StaticImageElement MetricFace = {
    .common = {.kind = StaticImage, .bitmap = MetricFaceBitmap, .imageFlags = DialFaceFlags}};

constexpr IconElement BritishFace = {.common = {.kind = Icon, .bitmap = BritishFaceBitmap, .imageFlags = DialFaceFlags},
                                     .scale = 1.0,
                                     .frames = 1,
                                     .update = britishFaceUpdate};

constexpr SpriteElement InchesDisc = {.common = {.kind = Sprite,
                                                 .bitmap = InchesDiscBitmap,
                                                 .position = {221, 124},
                                                 .offset = {157, 151},
                                                 .imageFlags = DialNeedleFlags},
                                      .xScale = 1.0,
                                      .yScale = 1.0,
                                      .rotationSource = hostVar(PressureInches),
                                      .rotationScale = DiscDegreesPerInch,
                                      .textureScaleX = 1.0f,
                                      .textureScaleY = 1.0f,
                                      .rotationUpdate = inchesDiscUpdate};

constexpr MovingImageElement MillibarTape = {
    .common = {.kind = MovingImage, .bitmap = MillibarTapeBitmap, .position = {122, 49}, .imageFlags = DialNeedleFlags},
    .xSource = hostVar(PressureMillibars),
    .xMin = TapeLeftMillibars,
    .xMax = TapeRightMillibars,
    .xUpdate = millibarTapeUpdate};

constexpr NeedleElement feetNeedle(int32_t bitmap, Point hub, FailureBinding* failures, CalibrationPoint* table,
                                   uint32_t points)
{
    return {.common = {.kind = Needle,
                       .bitmap = bitmap,
                       .position = DialCentre,
                       .offset = hub,
                       .failures = failures,
                       .imageFlags = DialNeedleFlags},
            .source = hostVar(IndicatedAltitude),
            .table = table,
            .pointCount = points,
            .update = feetNeedleUpdate};
}

constexpr NeedleElement TenThousandsNeedle = feetNeedle(TenThousandsBitmap, {0, 6}, tenThousandsFailures.data(),
                                                        tenThousandsTable, std::size(tenThousandsTable));
constexpr NeedleElement ThousandsNeedle =
    feetNeedle(ThousandsBitmap, {33, 14}, thousandsFailures.data(), thousandsTable, std::size(thousandsTable));
constexpr NeedleElement HundredsNeedle =
    feetNeedle(HundredsBitmap, {35, 13}, hundredsFailures.data(), hundredsTable, std::size(hundredsTable));

constexpr MovingImageElement KilometreCounter = {.common = {.kind = MovingImage,
                                                            .bitmap = KilometreTapeBitmap,
                                                            .position = {129, 208},
                                                            .imageFlags = DialNeedleFlags},
                                                 .xSource = hostVar(IndicatedAltitude),
                                                 .xMin = 0.0,
                                                 .xMax = CounterTapeKilometres,
                                                 .xUpdate = kilometreCounterUpdate};

constexpr NeedleElement MetreNeedle = {.common = {.kind = Needle,
                                                  .bitmap = MetreNeedleBitmap,
                                                  .position = DialCentre,
                                                  .offset = {43, 28},
                                                  .failures = metresFailures.data(),
                                                  .imageFlags = DialNeedleFlags},
                                       .source = hostVar(IndicatedAltitude),
                                       .table = metresTable,
                                       .pointCount = std::size(metresTable),
                                       .update = metreNeedleUpdate};

constexpr StaticImageElement Bezel = {
    .common = {.kind = StaticImage, .bitmap = BezelBitmap, .imageFlags = DialBezelFlags}};

constinit ElementChain elements{
    &altimeterGauge, MetricFace,     BritishFace,      InchesDisc,  MillibarTape, TenThousandsNeedle,
    ThousandsNeedle, HundredsNeedle, KilometreCounter, MetreNeedle, Bezel};

// ---------------------------------------------------------------- mouse areas
// The host supplies the tooltips of the dial's two halves and of the strip
// below it. The knob's two halves are boxed within the knob's own region,
// as the host reads nested regions; the host sends their key events itself.

MouseArea mouseAreas[] = {
    region(),
    region({0, 0, 150, 270}),
    hostTooltip(LeftHalfHelpId),
    regionEnd(),
    region({150, 0, 150, 270}),
    hostTooltip(RightHalfHelpId),
    regionEnd(),
    region({0, 270, 300, 60}),
    hostTooltip(BelowDialHelpId),
    regionEnd(),
    region(KnobRegion),
    keyArea({0, 0, 27, 54}, CursorDownArrow, PressureKnobClicks, PressureDown),
    keyArea({27, 0, 27, 54}, CursorUpArrow, PressureKnobClicks, PressureUp),
    regionEnd(),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition altimeterGauge = gaugeHeader("Altimeter", 100, elements.roots(), mouseAreas);
