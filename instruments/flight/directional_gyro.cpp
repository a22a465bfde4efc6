// Directionnal_Gyro: the heading indicator. A compass card turns with the
// gyro heading; over it a course disc with the aircraft symbol and a course
// line keeps its line on the selected course. Two click areas left and
// right of the centre knob step the course down and up, by 1 degree on a
// left click and by 10 on a right click. The course is the host's selected
// heading: the module keeps none of its own and changes it only by a key
// event.
//
// Host variables read: 84, gyro heading (card, disc); 855, selected
// heading in degrees (disc, course steps).
// Key events sent: 66042 with the new course, 0 to 359.
// State owned: none.
#include <array>
#include <cmath>

#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/needle_dial.h"

namespace {

constexpr uint32_t GyroHeading = 84;        // degrees
constexpr uint32_t SelectedCourse = 855;    // degrees

constexpr uint32_t SetCourse = 66042;       // 0x101FA, value: the course in whole degrees

constexpr int32_t FineStep = 1;             // degrees, left click
constexpr int32_t CoarseStep = 10;          // degrees, right click
constexpr int32_t FullCircle = 360;

constexpr int32_t FaceBitmap = 250;
constexpr int32_t CardBitmap = 260;         // N 3 6 O ... 33; window 261, the index ring
constexpr int32_t CourseDiscBitmap = 280;   // aircraft symbol and course line
constexpr int32_t BezelBitmap = 270;        // with the centre knob

constexpr Point Centre = {150, 150};

constexpr uint32_t GyroHelpId = 12808;
constexpr Box CourseKnob = {110, 120, 80, 60};

// Card and disc freeze with failure systems 20 and 11.
constexpr std::array<FailureBinding, 3> GyroFailures = {{{20, FailFreeze}, {11, FailFreeze}, {}}};
std::array<FailureBinding, 3> cardFailures = GyroFailures;
std::array<FailureBinding, 3> discFailures = GyroFailures;

// ---------------------------------------------------------------- callbacks

// The disc turns by the course less the heading. The host turns the disc
// by this value directly, so it is kept within one turn either way (the
// same direction); a heading or course that is no number counts as 0.
double discAngle(double course, double heading)
{
    const double apart = finiteOr(course, 0.0) - finiteOr(heading, 0.0);
    return std::fmod(finiteOr(apart, 0.0), double(FullCircle));
}

double VARDEX_HOSTAPI courseDiscUpdate(GaugeElement* disc)
{
    return discAngle(needleSource(disc), readHostNumber(GyroHeading));
}

// The host's course in whole degrees, cut toward zero (359.9 is 359). The
// host keeps it within 0 to 359; anything else it might report is brought
// into that circle first, and a course that is no number counts as 0, so a
// step never sends a course outside 0 to 359.
int32_t wholeCourse(double course)
{
    if (!std::isfinite(course))
        return 0;
    const int32_t whole = static_cast<int32_t>(std::trunc(std::fmod(course, double(FullCircle))));
    return whole < 0 ? whole + FullCircle : whole;
}

// A left click steps by 1 degree, a right click by 10; a click reported
// with both bits steps by 1 degree (knobStepOf). Neither bit: no step.
int32_t courseDown(int32_t course, KnobStepSize step)
{
    if (step == KnobStepSize::Fine)
        return course > 0 ? course - FineStep : FullCircle - FineStep;
    return course >= CoarseStep ? course - CoarseStep : course + FullCircle - CoarseStep;
}

int32_t courseUp(int32_t course, KnobStepSize step)
{
    if (step == KnobStepSize::Fine)
        return course < FullCircle - FineStep ? course + FineStep : 0;
    return course <= FullCircle - 1 - CoarseStep ? course + CoarseStep : course - (FullCircle - CoarseStep);
}

template <int32_t (*stepped)(int32_t, KnobStepSize)>
int32_t VARDEX_HOSTAPI courseClick(ClickRecord*, uint32_t clickFlags)
{
    const KnobStepSize step = knobStepOf(clickFlags);
    if (step != KnobStepSize::None)
        triggerKeyEvent(SetCourse, static_cast<uint32_t>(stepped(wholeCourse(readHostNumber(SelectedCourse)), step)));
    return 0;
}

// ---------------------------------------------------------------- elements

constexpr StaticImageElement Face = {
    .common = {.kind = StaticImage, .bitmap = FaceBitmap, .imageFlags = DialBezelFlags}};

constexpr SpriteElement Card = {.common = {.kind = Sprite,
                                           .bitmap = CardBitmap,
                                           .position = {18, 18},
                                           .offset = Centre,
                                           .failures = cardFailures.data(),
                                           .imageFlags = DialNeedleFlags},
                                .xScale = 1.0,
                                .yScale = 1.0,
                                .rotationSource = hostVar(GyroHeading),
                                .rotationScale = 1.0,
                                .textureScaleX = 1.0f,
                                .textureScaleY = 1.0f};

// No table: the host turns the disc by the callback's value directly.
constexpr NeedleElement CourseDisc = {.common = {.kind = Needle,
                                                 .bitmap = CourseDiscBitmap,
                                                 .position = Centre,
                                                 .offset = {106, 83},
                                                 .failures = discFailures.data(),
                                                 .imageFlags = DialNeedleFlags},
                                      .source = hostVar(SelectedCourse),
                                      .table = nullptr,
                                      .pointCount = 0,
                                      .update = courseDiscUpdate};

constexpr StaticImageElement Bezel = {
    .common = {.kind = StaticImage, .bitmap = BezelBitmap, .imageFlags = DialBezelFlags}};

constinit ElementChain elements{&directionalGyroGauge, Face, Card, CourseDisc, Bezel};

// ---------------------------------------------------------------- mouse areas

MouseArea mouseAreas[] = {
    region(),
    hostTooltip(GyroHelpId),
    clickArea(leftHalfOf(CourseKnob), CursorDownArrow, KnobClicks, courseClick<courseDown>),
    clickArea(rightHalfOf(CourseKnob), CursorUpArrow, KnobClicks, courseClick<courseUp>),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition directionalGyroGauge = gaugeHeader("Directionnal_Gyro", 100, elements.roots(), mouseAreas);
