// Artificial_Horizon: the gyro horizon. A horizon bar seen through a window
// moves with pitch and turns with bank, a bank pointer below it turns with
// the bank, an inclinometer ball sits in a curved tube under the window, a
// striped flag warns of the gyro, and a caging ring reads Los (free) or
// Fest (caged). A click on the ring's grip makes the host cage or free the
// gyro; the module keeps no caging state.
//
// Bank as the host reports it is positive to the left: the horizon bar
// (turned by minus the bank, counter-clockwise positive) and the bank
// pointer (clockwise from the bottom) both turn clockwise in a left bank.
//
// Host variables read: 69, inclinometer ball deflection; 78, pitch; 80,
// bank; 276 and 279, the gyro's failure and warning flags (integers); 825,
// the gyro's caged state.
// Key events sent: none by the module; the grip makes the host send 66373,
// the caging command.
// State owned: none.
#include <algorithm>
#include <array>
#include <cmath>

#include "framework/element_sources.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/inclinometer.h"
#include "framework/needle_dial.h"
#include "framework/switches.h"

namespace {

constexpr uint32_t BallDeflection = 69;
constexpr uint32_t Pitch = 78;              // degrees
constexpr uint32_t Bank = 80;               // degrees, positive to the left
constexpr uint32_t GyroWarning = 279;       // integer
constexpr uint32_t GyroFailure = 276;       // integer
constexpr uint32_t GyroCaged = 825;         // 0 free, else caged

constexpr uint32_t CageGyro = 66373;        // 0x10345

// The bar leaves the window beyond this pitch, so it stops there.
constexpr double PitchLimit = 60.0;

constexpr int32_t FaceBitmap = 1000;        // the ring caged (Fest at the index)
constexpr int32_t BallBitmap = 1060;
constexpr int32_t HorizonBarBitmap = 1010;  // window 1011
constexpr int32_t BankPointerBitmap = 1020;
constexpr int32_t WindowMaskBitmap = 1030;
constexpr int32_t WarningFlagBitmap = 1050; // yellow and black stripes
constexpr int32_t BezelBitmap = 1040;
constexpr int32_t FreeRingBitmap = 1070;    // Los at the index

constexpr Point Centre = {155, 152};        // the bar turns about it, the pointer's pivot

constexpr uint32_t HorizonHelpId = 12434;
constexpr uint32_t BallTubeHelpId = 43873;
constexpr Box CagingGrip = {123, 272, 63, 26};

// The pointer points right at -90 and left at +90, sweeping clockwise
// through the bottom.
CalibrationPoint bankTable[] = {{.point = {205, 152}, .value = -90}, {.point = {105, 152}, .value = 90}};

// Failure systems 8, 2 and 4 are declared on the bar and the pointer with
// no action of their own.
constexpr std::array<FailureBinding, 4> GyroFailures = {{{8, FailNone}, {2, FailNone}, {4, FailNone}, {}}};
std::array<FailureBinding, 4> barFailures = GyroFailures;
std::array<FailureBinding, 4> pointerFailures = GyroFailures;

// ---------------------------------------------------------------- callbacks

// A pitch that is no number leaves the bar level.
double limitedPitch(double pitch)
{
    return std::isnan(pitch) ? 0.0 : std::clamp(pitch, -PitchLimit, PitchLimit);
}

double VARDEX_HOSTAPI pitchLimitUpdate(GaugeElement* bar) { return limitedPitch(spriteYSource(bar)); }

// Either host flag raises the warning flag; the warning is read first.
double VARDEX_HOSTAPI warningFlagUpdate(GaugeElement*)
{
    const uint32_t warning = readHostInteger(GyroWarning);
    const uint32_t failure = readHostInteger(GyroFailure);
    return frameWhen(warning != 0 || failure != 0);
}

// The free ring is drawn over the face's caged one while the gyro is free.
double VARDEX_HOSTAPI ringPositionUpdate(GaugeElement* ring) { return frameWhen(iconSource(ring) == 0.0); }

// ---------------------------------------------------------------- elements

constexpr StaticImageElement Face = {
    .common = {.kind = StaticImage, .bitmap = FaceBitmap, .imageFlags = DialFaceFlags}};

// Sideways 0.3359375 pixel per unit, and up 0.0003662109375 pixel per unit
// squared.
constexpr SliderElement Ball = {
    .common = {.kind = Slider, .bitmap = BallBitmap, .position = {147, 232}, .imageFlags = DialNeedleFlags},
    .xSource = hostVar(BallDeflection),
    .xScale = 0.3359375,
    .ySource = hostVar(BallDeflection),
    .yScale = -0.0003662109375,
    .yUpdate = inclinometerBallLift};

constexpr SpriteElement HorizonBar = {.common = {.kind = Sprite,
                                                 .bitmap = HorizonBarBitmap,
                                                 .position = {70, 79},
                                                 .offset = Centre,
                                                 .failures = barFailures.data(),
                                                 .imageFlags = DialNeedleFlags},
                                      .xScale = 1.0,
                                      .ySource = hostVar(Pitch),
                                      .yScale = 1.0,
                                      .rotationSource = hostVar(Bank),
                                      .rotationScale = -1.0,
                                      .textureScaleX = 1.0f,
                                      .textureScaleY = 1.0f,
                                      .yUpdate = pitchLimitUpdate};

constexpr NeedleElement BankPointer = {.common = {.kind = Needle,
                                                  .bitmap = BankPointerBitmap,
                                                  .position = Centre,
                                                  .offset = {70, 7},
                                                  .failures = pointerFailures.data(),
                                                  .imageFlags = DialNeedleFlags},
                                       .source = hostVar(Bank),
                                       .table = bankTable,
                                       .pointCount = std::size(bankTable)};

constexpr StaticImageElement WindowMask = {
    .common = {.kind = StaticImage, .bitmap = WindowMaskBitmap, .position = {52, 70}, .imageFlags = DialFaceFlags}};

constexpr IconElement WarningFlag = {
    .common = {.kind = Icon, .bitmap = WarningFlagBitmap, .position = {116, 37}, .imageFlags = DialFaceFlags},
    .scale = 1.0,
    .frames = 1,
    .update = warningFlagUpdate};

constexpr StaticImageElement Bezel = {
    .common = {.kind = StaticImage, .bitmap = BezelBitmap, .imageFlags = DialBezelFlags}};

constexpr IconElement FreeRing = {.common = {.kind = Icon, .bitmap = FreeRingBitmap, .imageFlags = DialBezelFlags},
                                  .source = hostVar(GyroCaged),
                                  .scale = 1.0,
                                  .frames = 1,
                                  .update = ringPositionUpdate};

constinit ElementChain elements{
    &artificialHorizonGauge, Face, Ball, HorizonBar, BankPointer, WindowMask, WarningFlag, Bezel, FreeRing};

// ---------------------------------------------------------------- mouse areas
// The ball tube's help id sits on its region, with no tooltip entry. The
// grip's click area lies outside the grip's tooltip region: the host sends
// the caging command itself.

MouseArea mouseAreas[] = {
    region(),
    region({0, 0, 304, 222}),
    hostTooltip(HorizonHelpId),
    regionEnd(),
    region({85, 223, 138, 33}, BallTubeHelpId),
    regionEnd(),
    region(CagingGrip),
    textTooltip("Turns caging ring"),
    regionEnd(),
    keyArea(CagingGrip, CursorHand, ClickLeft, CageGyro),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition artificialHorizonGauge = gaugeHeader("Artificial_Horizon", 100, elements.roots(), mouseAreas);
