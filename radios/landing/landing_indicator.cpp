// Landing_Indicator: the ILS cross-pointer fed by the NAV1 receiver. A
// vertical needle hanging from the top of the dial shows the deviation from
// the approach course, a horizontal one from the right of the dial the
// deviation from the glide path. Both rest at the centre unless the NAV
// receiver is switched on and the tuned station offers an approach signal.
//
// Host variables read: 40, NAV1 course deviation (−127 to +127), and 41,
// glide-path deviation (−120 to +120), as the needles' sources; 46, NAV1
// station flags (bit 0x80: approach signal), by the gauge callback once a
// frame for both needles; 48, NAV1 course angle in 65536ths of a turn, and
// 45, by the gauge callback while the receiver is on.
// Key events sent: 65716 (0x100B4) with the course in whole degrees, value
// 0: see the gauge callback.
// State owned: stationFlags, as read at the start of the frame; reads
// navPowerOn of the NAV receiver.
#include <iterator>

#include "framework/cockpit_state.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/needle_dial.h"

namespace {

constexpr uint32_t CourseDeviation = 40;
constexpr uint32_t GlideDeviation = 41;
constexpr uint32_t Nav1Radial = 45;
constexpr uint32_t Nav1Flags = 46;
constexpr uint32_t Nav1CourseAngle = 48;
constexpr uint32_t ApproachSignal = 0x80;   // bit of the station flags
constexpr uint32_t SetLandingCourse = 65716;  // 0x100B4

constexpr double AngleUnitsPerTurn = 65536;

uint32_t stationFlags = 0;

constexpr int32_t FaceBitmap = 3050;
constexpr int32_t CourseNeedleBitmap = 3060;  // pointing to +x
constexpr int32_t GlideNeedleBitmap = 3070;
constexpr int32_t BezelBitmap = 3080;
constexpr uint32_t NeedleFlags = LitSmoothImage;

// ---------------------------------------------------------------- callbacks

// What a needle shows: the host's deviation while the receiver is on and
// the station offers an approach, else the centre. A deviation that is not
// a finite number centres the needle too, as no usable signal would.
double approachReading(bool receiverOn, uint32_t stationFlags, double deviation)
{
    if (!receiverOn || (stationFlags & ApproachSignal) == 0)
        return 0.0;
    return finiteOr(deviation, 0.0);
}

double VARDEX_HOSTAPI approachGate(GaugeElement* needle)
{
    return approachReading(navPowerOn != 0, stationFlags, needleSource(needle));
}

constexpr double courseDegrees(double angleUnits) { return angleUnits * 360 / AngleUnitsPerTurn; }

// The course is handed back to the host, in whole degrees truncated towards
// zero, only while it stands exactly at 0, so the event goes out with value
// 0 and never carries an angle that a host might take for a new course. A
// course that is not a number is never sent.
constexpr bool sendsCourse(double degrees) { return degrees == 0; }
constexpr uint32_t CourseAtZero = 0;   // that course in whole degrees, truncated

// Reads the station flags for the frame's needles; the rest acts on every
// call, whatever the service code: the indicator has nothing to set up or
// release.
void VARDEX_HOSTAPI landingService(GaugeDefinition*, int32_t serviceCode, uint32_t)
{
    if (serviceCode == ServiceBeforeUpdate)
        stationFlags = readHostInteger(Nav1Flags);
    if (navPowerOn == 0)
        return;
    const double degrees = courseDegrees(readHostNumber(Nav1CourseAngle));
    readHostNumber(Nav1Radial);  // polled with the angle; nothing here depends on it
    if (sendsCourse(degrees))
        triggerKeyEvent(SetLandingCourse, CourseAtZero);
}

// ---------------------------------------------------------------- elements

FailureBinding faceFailures[] = {{14, FailNone}, {}};
FailureBinding needleFailures[] = {{14, FailZero}, {21, FailZero}, {20, FailFreeze}, {}};

// Positive deviations swing the course needle's tip to the right and lower
// the glide-path needle's; both tables run from the highest value down.
CalibrationPoint courseScale[] = {{{129, 150}, 127}, {{67, 150}, -127}};
CalibrationPoint glideScale[] = {{{44, 134}, 120}, {{44, 101}, 0}, {{44, 68}, -120}};

constexpr StaticImageElement Face = {
    .common = {.kind = StaticImage, .bitmap = FaceBitmap, .failures = faceFailures, .imageFlags = LitImage}};

// Pivot at the top of the dial.
constexpr NeedleElement CourseNeedle = {.common = {.kind = Needle,
                                                   .bitmap = CourseNeedleBitmap,
                                                   .position = {98, 52},
                                                   .offset = {0, 4},
                                                   .failures = needleFailures,
                                                   .imageFlags = NeedleFlags},
                                        .source = hostVar(CourseDeviation),
                                        .table = courseScale,
                                        .pointCount = std::size(courseScale),
                                        .update = approachGate};

// Pivot at the right of the dial.
constexpr NeedleElement GlideNeedle = {.common = {.kind = Needle,
                                                  .bitmap = GlideNeedleBitmap,
                                                  .position = {148, 101},
                                                  .offset = {0, 4},
                                                  .failures = needleFailures,
                                                  .imageFlags = NeedleFlags},
                                       .source = hostVar(GlideDeviation),
                                       .table = glideScale,
                                       .pointCount = std::size(glideScale),
                                       .update = approachGate};

constexpr StaticImageElement Bezel = {.common = {.kind = StaticImage, .bitmap = BezelBitmap, .imageFlags = PlainImage}};

constinit ElementChain elements{&landingIndicatorGauge, Face, CourseNeedle, GlideNeedle, Bezel};

// ---------------------------------------------------------------- mouse areas

MouseArea mouseAreas[] = {
    region(),
    textTooltip("Landing Indicator NAV1"),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition landingIndicatorGauge =
    gaugeHeader("Landing_Indicator", 100, elements.roots(), mouseAreas, landingService);
