#include "devhost/core/gauge_notes.h"

#include <algorithm>
#include <initializer_list>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "devhost/core/host.h"
#include "devhost/core/tooltip_format.h"
#include "devhost/core/values.h"

namespace devhost {

namespace {

constexpr ParameterForms EngineNumber{
    "the engine, 1 to 4: the first digit 1 anywhere gives engine 1, else the first of 2, 3, 4; text after /, # "
    "or ' is not read",
    "2 | 4"};

constexpr ParameterForms ToggleCommands{
    "command letters each followed by its argument: o, c or t and a panel window (open, close, toggle on every "
    "click); p and a whole number (0: normal/landing view, n > 0: n views on, n < 0: back); a and a window (closed "
    "at the first set-up); b and the icon bitmap 100 to 160; h and a tooltip name (TOGGLE_RADIO_WINDOW ...) or a "
    "help id. Windows by name (MAIN_PANEL, RADIO_STACK_PANEL, GPS_PANEL, ...) or number",
    "tRADIO_STACK_PANEL hTOGGLE_RADIO_WINDOW | cRADIO_STACK_PANEL cGPS_PANEL | p0 | p1 | o50 b120"};

constexpr ParameterForms PlateStyle{
    "t and the plate's own text at the very start (to its first space; _ shows as a space), then r, g, b and a "
    "decimal colour component each, then f and the font face to the end; without t the host's ATC identifier",
    "tD-HVDX | tF-ABCD r255 g200 b0 | r0 g0 b0 fCourier New"};

struct Named {
    std::string_view gauge;
    const ParameterForms* forms;
};

constexpr Named named[] = {
    {"Exhaust_Gas_Temp", &EngineNumber},   {"Oil_Pressure", &EngineNumber},
    {"Invisible_Toggle", &ToggleCommands}, {"Close_Subpanel", &ToggleCommands},
    {"Radios_Toggle", &ToggleCommands},    {"Landing_View_Toggle", &ToggleCommands},
    {"GPS_Toggle", &ToggleCommands},       {"Throttle_Toggle", &ToggleCommands},
    {"Compass_Toggle", &ToggleCommands},   {"Registration", &PlateStyle},
};

// A needle's value on its face: value x scale + offset, in unit. The value
// is what the needle's calibration table is given in.
struct Face {
    std::string_view gauge;
    size_t element;          // the needle, by drawing order
    std::string_view label;  // for gauges with more than one reading, else empty
    double scale;
    double offset;
    std::string_view unit;
    int decimals;
    bool truncated = false;  // the module's own tooltip prints the value cut to a whole number
    double divisor = 1;      // after the scale, as the module's tooltip divides
};

constexpr double FeetPerMinute = 60.0 / MetresPerFoot;
// The flaps face's 50 degrees over the travel its tooltip divides by (not
// the calibration table's 16382).
constexpr double FlapsDegrees = 50.0, FlapsTooltipTravel = 16380.0;

constexpr Face faces[] = {
    {"Airspeed", 2, "", 1, 0, "km/h", 0},
    {"Airspeed", 3, "", 1, 0, "kt", 0},
    {"Altimeter", 8, "", 1, 0, "m", 0},
    {"Altimeter", 6, "", 1, 0, "ft", 0},
    {"Vertical_Speed", 3, "", 1 / VerticalSpeedPerMs, 0, "m/s", 1},
    {"Vertical_Speed", 2, "", FeetPerMinute / VerticalSpeedPerMs, 0, "ft/min", 0},
    {"ADF_Indicator", 2, "bearing", 1, 0, "°", 0},
    {"Tachometer_1", 1, "", RpmPerUnit, 0, "rpm", 0, true},
    {"Tachometer_2", 1, "", RpmPerUnit, 0, "rpm", 0, true},
    {"Engine_1_Press_Diff", 1, "", 1, 0, "kg/cm2", 2},
    {"Engine_2_Press_Diff", 1, "", 1, 0, "kg/cm2", 2},
    {"Exhaust_Gas_Temp", 1, "", 1 / RankinePerKelvin, -RankineAtZeroCelsius / RankinePerKelvin, "°C", 0},
    {"Fuel_Pressure_1", 1, "", 1, 0, "kg/cm2", 1},
    {"Fuel_Pressure_2", 1, "", 1, 0, "kg/cm2", 1},
    {"Oil_Pressure_1", 1, "", 1 / PressurePerKgCm2, 0, "kg/cm2", 2},
    {"Oil_Pressure_2", 1, "", 1 / PressurePerKgCm2, 0, "kg/cm2", 2},
    {"Oil_Pressure", 1, "", 1 / PressurePerKgCm2, 0, "kg/cm2", 2},
    {"Flaps_Indicator", 1, "", FlapsDegrees, 0, "°", 0, true, FlapsTooltipTravel},
    {"Fuel_Quantity_Main_Front", 1, "", 1, 0, "l", 0, true},
    {"Fuel_Quantity_Main_Aft", 1, "", 1, 0, "l", 0, true},
};

// Hands that show a time: the value is in seconds, read as hours and minutes
// of the day, or as the stopwatch's minutes and seconds.
struct Hand {
    std::string_view gauge;
    size_t element;
    std::string_view label;
    bool timeOfDay;
};

constexpr Hand hands[] = {
    {"Junghans_Timer", 3, "time", true},
    {"Junghans_Timer", 5, "stopwatch", false},
};

std::string timeReading(const Hand& hand, double seconds)
{
    char text[48];
    if (!std::isfinite(seconds) || std::abs(seconds) > 1e9)
        std::snprintf(text, sizeof text, "%s no reading", hand.label.data());
    else if (hand.timeOfDay) {
        const long minutes = std::lround(std::floor(seconds / 60));
        std::snprintf(text, sizeof text, "%s %02ld:%02ld", hand.label.data(), (minutes / 60) % 24, minutes % 60);
    } else {
        const long whole = std::lround(std::floor(seconds));
        std::snprintf(text, sizeof text, "%s %ld:%02ld", hand.label.data(), whole / 60, whole % 60);
    }
    return text;
}

// The gyro's card turns with the heading; its course disc shows the course
// less the heading, so the course is the two added.
constexpr std::string_view Gyro = "Directionnal_Gyro";
constexpr size_t GyroCard = 1, GyroCourseDisc = 2;

void gyroReadings(const GaugeSnapshot& gauge, std::vector<std::string>& readings)
{
    if (gauge.name != Gyro || gauge.elements.size() <= GyroCourseDisc)
        return;
    const double heading = gauge.elements[GyroCard].rotationValue;
    const double course = gauge.elements[GyroCourseDisc].value + heading;
    if (!std::isfinite(heading) || !std::isfinite(course) || std::abs(course) > 1e9)
        return;
    char text[48];
    std::snprintf(text, sizeof text, "heading %.0f °, course %.0f °", std::fmod(std::fmod(heading, 360) + 360, 360),
                  std::fmod(std::fmod(course, 360) + 360, 360));
    readings.emplace_back(text);
}

// ---------------------------------------------------------------- instruments read from their elements

// An element of the gauge's tree by drawing order, when it is of the kind
// expected (a panel built from another module may differ).
const ElementSnapshot* elementOf(const GaugeSnapshot& gauge, size_t index, ElementKind kind)
{
    return index < gauge.elements.size() && gauge.elements[index].kind == kind ? &gauge.elements[index] : nullptr;
}

bool drawn(const ElementSnapshot* icon) { return icon && icon->frame && !icon->hidden; }

// "bank 10 ° left": a signed value told by its size and a direction word;
// a value that rounds to nothing has no direction.
std::string directed(std::string_view label, double value, int decimals, std::string_view unit,
                     std::string_view positive, std::string_view negative)
{
    char text[96];
    if (!std::isfinite(value)) {
        std::snprintf(text, sizeof text, "%s no reading", label.data());
        return text;
    }
    const double size = std::fabs(value);
    const bool nothing = size < 0.5 * std::pow(10.0, -decimals);
    std::snprintf(text, sizeof text, "%s %.*f%s%s%s%s", label.data(), decimals, nothing ? 0.0 : size,
                  unit.empty() ? "" : " ", unit.data(), nothing ? "" : " ", nothing ? "" : (value > 0 ? positive : negative).data());
    return text;
}

using Readings = std::vector<std::string>;

// The ball of an inclinometer in ball widths from the centre, as a pilot
// judges slip.
void ballReading(const ElementSnapshot* ball, double ballWidth, Readings& readings)
{
    if (ball && !ball->hidden)
        readings.push_back(directed("ball", ball->xOffset / ballWidth, 1, "widths", "right", "left"));
}

void horizonReadings(const GaugeSnapshot& gauge, const VariableStore&, Readings& readings)
{
    constexpr size_t Ball = 1, Bar = 2, WarningFlag = 5, FreeRing = 7;
    constexpr double BallWidth = 14;
    if (const ElementSnapshot* bar = elementOf(gauge, Bar, Sprite)) {
        readings.push_back(directed("pitch", bar->yValue, 0, "°", "up", "down"));
        readings.push_back(directed("bank", bar->rotationValue, 0, "°", "left", "right"));
    }
    ballReading(elementOf(gauge, Ball, Slider), BallWidth, readings);
    if (const ElementSnapshot* ring = elementOf(gauge, FreeRing, Icon))
        readings.emplace_back(drawn(ring) ? "gyro free" : "gyro caged");
    if (drawn(elementOf(gauge, WarningFlag, Icon)))
        readings.emplace_back("warning flag shown");
}

void turnReadings(const GaugeSnapshot& gauge, const VariableStore&, Readings& readings)
{
    constexpr size_t Ball = 1, TurnNeedle = 3;
    constexpr double BallWidth = 20, RateOneMark = 4.5;  // the needle on the L or R mark
    if (const ElementSnapshot* needle = elementOf(gauge, TurnNeedle, Needle); needle && !needle->hidden)
        readings.push_back(directed("turn rate", needle->value / RateOneMark, 2, "", "right", "left"));
    ballReading(elementOf(gauge, Ball, Slider), BallWidth, readings);
}

void landingReadings(const GaugeSnapshot& gauge, const VariableStore& variables, Readings& readings)
{
    constexpr size_t CourseNeedle = 1, GlideNeedle = 2;
    constexpr double CoursePerDot = 127.0 / 4, GlidePerDot = 120.0 / 4;  // four dots each side
    constexpr uint32_t NavFlags = 46, CourseDeviation = 40, GlideDeviation = 41, ApproachSignal = 0x80;
    const ElementSnapshot* course = elementOf(gauge, CourseNeedle, Needle);
    const ElementSnapshot* glide = elementOf(gauge, GlideNeedle, Needle);
    if (!course || !glide)
        return;
    readings.push_back(directed("localiser", course->value / CoursePerDot, 1, "dots", "right", "left"));
    readings.push_back(directed("glide path", glide->value / GlidePerDot, 1, "dots", "down", "up"));
    // The needles rest at the centre unless the receiver is on and the
    // station offers an approach: centred needles while the host reports a
    // deviation mean the receiver is off.
    if (!(variables.getInteger(NavFlags) & ApproachSignal))
        readings.emplace_back("flag: no approach signal");
    else if (course->value == 0 && glide->value == 0 &&
             (variables.get(CourseDeviation) != 0 || variables.get(GlideDeviation) != 0))
        readings.emplace_back("flag: NAV1 off");
    else
        readings.emplace_back("approach signal");
}

void transponderReadings(const GaugeSnapshot& gauge, const VariableStore&, Readings& readings)
{
    constexpr size_t ThousandsWheel = 8, Lamp = 10;
    std::string code;
    for (size_t wheel = ThousandsWheel; wheel >= ThousandsWheel - 3; --wheel) {
        const ElementSnapshot* digit = elementOf(gauge, wheel, MovingImage);
        if (!digit || !std::isfinite(digit->yValue))
            return;
        code += static_cast<char>('0' + static_cast<int>(std::clamp(digit->yValue, 0.0, 9.0)));
    }
    readings.push_back("code " + code);
    if (const ElementSnapshot* lamp = elementOf(gauge, Lamp, Icon))
        readings.emplace_back(drawn(lamp) ? "mode on" : "mode off");
}

// A lever or a sight: one icon whose frame (or absence) is its state.
template <size_t IconIndex>
void iconState(const GaugeSnapshot& gauge, Readings& readings, std::string_view label,
               std::initializer_list<std::string_view> frames, std::string_view notDrawn)
{
    const ElementSnapshot* icon = elementOf(gauge, IconIndex, Icon);
    if (!icon)
        return;
    std::string_view state = notDrawn;
    if (drawn(icon) && static_cast<size_t>(*icon->frame) < frames.size())
        state = frames.begin()[*icon->frame];
    readings.push_back(std::string(label) + std::string(label.empty() ? "" : " ") + std::string(state));
}

void sourceSwitchReadings(const GaugeSnapshot& gauge, const VariableStore&, Readings& readings)
{
    iconState<1>(gauge, readings, "source", {"NAV", "GPS"}, "none");
}

void gunsightReadings(const GaugeSnapshot& gauge, const VariableStore&, Readings& readings)
{
    iconState<1>(gauge, readings, "sight", {"shown"}, "hidden");
}

void unitsReadings(const GaugeSnapshot& gauge, const VariableStore&, Readings& readings)
{
    iconState<1>(gauge, readings, "units", {"metric", "British"}, "none");
}

void shutDownReadings(const GaugeSnapshot&, const VariableStore&, Readings& readings)
{
    readings.emplace_back("invisible: switches the radios off at the host's shut-down notice");
}

struct Instrument {
    std::string_view gauge;
    void (*read)(const GaugeSnapshot&, const VariableStore&, Readings&);
};

constexpr Instrument instruments[] = {
    {"Artificial_Horizon", horizonReadings}, {"Turn_Coordinator", turnReadings},
    {"Landing_Indicator", landingReadings},  {"Radio_XPDR_FUG25A6", transponderReadings},
    {"NAV_GPS_Switch", sourceSwitchReadings}, {"Gunsight", gunsightReadings},
    {"Metric_Switch", unitsReadings},          {"Shut_Down", shutDownReadings},
};

}  // namespace

std::vector<std::string> textReadings(const GaugeSnapshot& gauge)
{
    std::vector<std::string> readings;
    for (const ElementSnapshot& element : gauge.elements)
        if (element.kind == String && !element.hidden && !element.text.empty())
            readings.push_back("\"" + windows1252ToUtf8(element.text) + "\"");
    return readings;
}

std::vector<std::string> needleReadings(const GaugeSnapshot& gauge)
{
    std::vector<std::string> readings;
    gyroReadings(gauge, readings);
    for (const Hand& hand : hands)
        if (hand.gauge == gauge.name && hand.element < gauge.elements.size() &&
            gauge.elements[hand.element].kind == Needle && !gauge.elements[hand.element].hidden)
            readings.push_back(timeReading(hand, gauge.elements[hand.element].value));
    for (const Face& face : faces) {
        if (face.gauge != gauge.name || face.element >= gauge.elements.size())
            continue;
        const ElementSnapshot& needle = gauge.elements[face.element];
        if (needle.kind != Needle || needle.hidden)
            continue;
        double value = needle.value * face.scale / face.divisor + face.offset;
        if (face.truncated)
            value = std::trunc(value) + 0.0;  // + 0.0: no "-0"

        char text[64];
        if (std::isfinite(value))
            std::snprintf(text, sizeof text, "%s%s%.*f %s", face.label.data(), face.label.empty() ? "" : " ",
                          face.decimals, value, face.unit.data());
        else
            std::snprintf(text, sizeof text, "%s%sno reading", face.label.data(), face.label.empty() ? "" : " ");
        readings.emplace_back(text);
    }
    return readings;
}

ParameterForms parameterForms(std::string_view gauge)
{
    auto it = std::find_if(std::begin(named), std::end(named), [&](const Named& n) { return n.gauge == gauge; });
    return it == std::end(named) ? ParameterForms{} : *it->forms;
}

std::vector<std::string> gaugeReadings(Host& host, GaugeInstance& gauge, const GaugeSnapshot& shown)
{
    std::vector<std::string> readings = needleReadings(shown);
    for (const Instrument& instrument : instruments)
        if (instrument.gauge == shown.name)
            instrument.read(shown, host.variables(), readings);
    for (std::string& text : textReadings(shown))
        readings.push_back(std::move(text));
    for (const std::string& text : host.tooltips(gauge))
        readings.push_back(windows1252ToUtf8(text));
    // A button with no tooltip of its own is told by the host's text for it.
    if (readings.empty())
        if (std::string_view help = hostHelpText(shown.helpIdOfFirstRegion); !help.empty())
            readings.push_back("button: " + std::string(help));
    if (readings.empty() && !shown.parameter.empty())
        readings.push_back("button \"" + windows1252ToUtf8(shown.parameter) + "\"");
    return readings;
}

}  // namespace devhost
