// Junghans_Timer: the panel clock. Hour and minute hands show the host's
// time of day; a stopwatch (large seconds hand, small 15-minute sub-dial)
// runs on simulation time, started and stopped by the knob below the dial
// and zeroed by the small button at the lower right; the bezel ring with its
// minute marks steps one minute either way from clicks on its left and
// right edges.
//
// Host variables read: 557 (time of day, s) by the hour and minute hands,
// 604 (simulation time, s) by the stopwatch hands. Key events sent: none.
// State owned: stopwatchRunning, stopwatchLastTime, stopwatchElapsed,
// stopwatchSeconds, bezelMinutes; all 0 at load.
#include <cmath>
#include <iterator>
#include <limits>

#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/needle_dial.h"
#include "framework/switches.h"

namespace {

int32_t stopwatchRunning = 0;
double stopwatchLastTime = 0.0;   // host time seen at the latest stopwatch update
double stopwatchElapsed = 0.0;    // seconds counted while running
double stopwatchSeconds = 0.0;    // its whole seconds, which both hands show
int32_t bezelMinutes = 0;         // -59 ... 59

constexpr uint32_t TimeOfDay = 557;        // s
constexpr uint32_t SimulationTime = 604;   // s

constexpr int32_t FaceBitmap = 2000;         // 280×364, the dial with the buttons below it
constexpr int32_t RingBitmap = 2060;         // 234×234, marked 5 to 55, a triangle at 0; 2061 its window
constexpr int32_t HourHandBitmap = 2040;     // 80×12
constexpr int32_t MinuteHandBitmap = 2030;   // 100×14
constexpr int32_t SubDialHandBitmap = 2020; // 29×13
constexpr int32_t SecondsHandBitmap = 2010;  // 100×16
constexpr int32_t CaseBitmap = 2050;         // 280×364
constexpr Point DialCentre = {138, 139};
constexpr Point SubDialCentre = {138, 183};
constexpr Point RingWindowAt = {21, 24};
constexpr double DegreesPerMinute = 6.0;
constexpr int32_t MinutesPerTurn = 60;

constexpr uint32_t HelpId = 43798;
constexpr Box KnobBox = {110, 262, 45, 45};
constexpr Box ResetBox = {197, 273, 30, 40};
constexpr Box RingLeftEdge = {22, 85, 30, 103};
constexpr Box RingRightEdge = {223, 85, 30, 103};

// ---------------------------------------------------------------- callbacks

// Finite, asked by comparison: the x87 arithmetic of the 32-bit build keeps
// intermediate sums in extended precision, where a sum beyond the doubles is
// still finite; compared with the largest double, it is caught either way.
bool withinDoubles(double x)
{
    constexpr double Largest = std::numeric_limits<double>::max();
    return x >= -Largest && x <= Largest;
}

// Counts the increase of host time since the latest update while running;
// the time is tracked while stopped too, so a start does not count the
// stopped interval. A time that is not a finite number is passed over
// (neither counted nor kept), and an increase that would make the count
// infinite is not counted, so one bad frame cannot spoil the stopwatch for
// the rest of the flight.
double stopwatchUpdate(double t)
{
    if (std::isfinite(t)) {
        const double counted = stopwatchElapsed + (t - stopwatchLastTime);
        // Whole seconds only when the count moved: both hands call this
        // every frame, the second call adds nothing because t equals the
        // time just kept, and a stopped stopwatch does not move at all.
        if (stopwatchRunning != 0 && withinDoubles(counted) && counted != stopwatchElapsed) {
            stopwatchElapsed = counted;
            stopwatchSeconds = std::floor(counted);
        }
        stopwatchLastTime = t;
    }
    return stopwatchSeconds;
}

double VARDEX_HOSTAPI stopwatchHand(GaugeElement* element) { return stopwatchUpdate(needleSource(element)); }

double VARDEX_HOSTAPI bezelAngle(GaugeElement*) { return bezelMinutes * DegreesPerMinute; }

int32_t VARDEX_HOSTAPI startStop(ClickRecord*, uint32_t)
{
    toggleSwitch(stopwatchRunning);
    return 0;
}

// The running state stays as it is: a running stopwatch starts again from 0.
int32_t VARDEX_HOSTAPI reset(ClickRecord*, uint32_t)
{
    stopwatchElapsed = 0.0;
    stopwatchSeconds = 0.0;
    return 0;
}

// The remainder keeps the dividend's sign, so stepping back from 0 gives -1
// (drawn at -6 degrees, where 59 would be) and forward from -1 gives 0.
int32_t VARDEX_HOSTAPI bezelForward(ClickRecord*, uint32_t)
{
    bezelMinutes = (bezelMinutes + 1) % MinutesPerTurn;
    return 0;
}

int32_t VARDEX_HOSTAPI bezelBack(ClickRecord*, uint32_t)
{
    bezelMinutes = (bezelMinutes - 1) % MinutesPerTurn;
    return 0;
}

// ---------------------------------------------------------------- elements

// Half a turn per 6 hours: one turn in 12 hours.
CalibrationPoint hourTable[] = {{.point = {138, 39}, .value = 0}, {.point = {138, 239}, .value = 21600}};
// One turn per hour.
CalibrationPoint minuteTable[] = {{.point = {138, 39}, .value = 0}, {.point = {138, 239}, .value = 1800}};
// One turn per 900 seconds, the sub-dial's 15 minutes.
CalibrationPoint subDialTable[] = {{.point = {138, 153}, .value = 0}, {.point = {138, 213}, .value = 450}};
// One turn per minute.
CalibrationPoint secondsTable[] = {{.point = {138, 39}, .value = 0}, {.point = {138, 239}, .value = 30}};

constexpr StaticImageElement Face = {
    .common = {.kind = StaticImage, .bitmap = FaceBitmap, .imageFlags = DialFaceFlags}};

// Turned by its callback alone, like turningSprite's discs, but with x and y
// scales of 1.0 where those have 0.
constexpr SpriteElement Ring = {.common = {.kind = Sprite,
                                           .bitmap = RingBitmap,
                                           .position = RingWindowAt,
                                           .offset = DialCentre,
                                           .imageFlags = DialNeedleFlags},
                                .xScale = 1.0,
                                .yScale = 1.0,
                                .rotationScale = 1.0,
                                .textureScaleX = 1.0f,
                                .textureScaleY = 1.0f,
                                .rotationUpdate = bezelAngle};

constexpr NeedleElement HourHand = {.common = {.kind = Needle,
                                               .bitmap = HourHandBitmap,
                                               .position = DialCentre,
                                               .offset = {6, 6},
                                               .imageFlags = DialNeedleFlags},
                                    .source = hostVar(TimeOfDay),
                                    .table = hourTable,
                                    .pointCount = std::size(hourTable)};

constexpr NeedleElement MinuteHand = {.common = {.kind = Needle,
                                                 .bitmap = MinuteHandBitmap,
                                                 .position = DialCentre,
                                                 .offset = {7, 7},
                                                 .imageFlags = DialNeedleFlags},
                                      .source = hostVar(TimeOfDay),
                                      .table = minuteTable,
                                      .pointCount = std::size(minuteTable)};

constexpr NeedleElement SubDialHand = {.common = {.kind = Needle,
                                                  .bitmap = SubDialHandBitmap,
                                                  .position = SubDialCentre,
                                                  .offset = {6, 6},
                                                  .imageFlags = DialNeedleFlags},
                                       .source = hostVar(SimulationTime),
                                       .table = subDialTable,
                                       .pointCount = std::size(subDialTable),
                                       .update = stopwatchHand};

constexpr NeedleElement SecondsHand = {.common = {.kind = Needle,
                                                  .bitmap = SecondsHandBitmap,
                                                  .position = DialCentre,
                                                  .offset = {8, 8},
                                                  .imageFlags = DialNeedleFlags},
                                       .source = hostVar(SimulationTime),
                                       .table = secondsTable,
                                       .pointCount = std::size(secondsTable),
                                       .update = stopwatchHand};

constexpr StaticImageElement ClockCase = {
    .common = {.kind = StaticImage, .bitmap = CaseBitmap, .imageFlags = DialBezelFlags}};

constinit ElementChain elements{&junghansTimerGauge, Face,        Ring,        HourHand,
                                MinuteHand,          SubDialHand, SecondsHand, ClockCase};

// ---------------------------------------------------------------- mouse areas

MouseArea mouseAreas[] = {
    region({}, HelpId),
    clickArea(KnobBox, CursorHand, ClickLeft, startStop),
    clickArea(ResetBox, CursorUpArrow, ClickLeft | ClickRepeat, reset),
    clickArea(RingLeftEdge, CursorUpArrow, ClickLeft | ClickRepeat, bezelForward),
    clickArea(RingRightEdge, CursorDownArrow, ClickLeft | ClickRepeat, bezelBack),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition junghansTimerGauge = gaugeHeader("Junghans_Timer", 100, elements.roots(), mouseAreas);
