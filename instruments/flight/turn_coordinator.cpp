// Turn_Coordinator: a turn needle pivoting near the bottom of the dial,
// reaching the L and R marks at the standard rate, and an inclinometer ball
// in a curved tube under the words DREHT and HÄNGT. It does not depend on
// the units switch.
//
// Host variables read: 69, inclinometer ball deflection; 70, turn rate,
// 256 units per mark.
// Key events sent: none. State owned: none.
#include <array>

#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/inclinometer.h"
#include "framework/needle_dial.h"

namespace {

constexpr uint32_t BallDeflection = 69;
constexpr uint32_t TurnRate = 70;            // 256 units to the mark

constexpr double MarksPerUnit = 0.00390625;  // 1/256

constexpr int32_t FaceBitmap = 440;
constexpr int32_t BallBitmap = 460;
constexpr int32_t TubeMarksBitmap = 470;
constexpr int32_t NeedleBitmap = 450;        // pointing to +x
constexpr int32_t BezelBitmap = 480;

constexpr uint32_t TurnHelpId = 12432;

// The L and R marks at 4.5 either way; the repeated end points are the
// stops from 5 on.
CalibrationPoint turnTable[] = {
    {.point = {60, 81}, .value = -5},
    {.point = {60, 81}, .value = -4.5},
    {.point = {240, 81}, .value = 4.5},
    {.point = {240, 81}, .value = 5},
};

// The needle freezes with failure system 18 and drops to zero with 20.
std::array<FailureBinding, 3> needleFailures = {{{18, FailFreeze}, {20, FailZero}, {}}};

// ---------------------------------------------------------------- callbacks

double VARDEX_HOSTAPI turnRateUpdate(GaugeElement* needle)
{
    return finiteOr(needleSource(needle) * MarksPerUnit, 0.0);
}

// ---------------------------------------------------------------- elements

constexpr StaticImageElement Face = {
    .common = {.kind = StaticImage, .bitmap = FaceBitmap, .imageFlags = DialFaceFlags}};

// Sideways 0.578125 pixel per unit, and up 0.000244140625 pixel per unit
// squared.
constexpr SliderElement Ball = {
    .common = {.kind = Slider, .bitmap = BallBitmap, .position = {141, 172}, .imageFlags = DialNeedleFlags},
    .xSource = hostVar(BallDeflection),
    .xScale = 0.578125,
    .ySource = hostVar(BallDeflection),
    .yScale = -0.000244140625,
    .yUpdate = inclinometerBallLift};

// Always its only frame.
constexpr IconElement TubeMarks = {
    .common = {.kind = Icon, .bitmap = TubeMarksBitmap, .position = {137, 169}, .imageFlags = DialFaceFlags},
    .scale = 1.0,
    .frames = 1};

constexpr NeedleElement TurnNeedle = {.common = {.kind = Needle,
                                                 .bitmap = NeedleBitmap,
                                                 .position = {150, 251},
                                                 .offset = {22, 14},
                                                 .failures = needleFailures.data(),
                                                 .imageFlags = DialNeedleFlags},
                                      .source = hostVar(TurnRate),
                                      .table = turnTable,
                                      .pointCount = std::size(turnTable),
                                      .update = turnRateUpdate};

constexpr StaticImageElement Bezel = {
    .common = {.kind = StaticImage, .bitmap = BezelBitmap, .imageFlags = DialBezelFlags}};

constinit ElementChain elements{&turnCoordinatorGauge, Face, Ball, TubeMarks, TurnNeedle, Bezel};

// ---------------------------------------------------------------- mouse areas

MouseArea mouseAreas[] = {region(), hostTooltip(TurnHelpId), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition turnCoordinatorGauge = gaugeHeader("Turn_Coordinator", 100, elements.roots(), mouseAreas);
