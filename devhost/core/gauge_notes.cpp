#include "devhost/core/gauge_notes.h"

#include <algorithm>
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
};

constexpr double FeetPerMinute = 60.0 / MetresPerFoot;

constexpr Face faces[] = {
    {"Airspeed", 2, "", 1, 0, "km/h", 0},
    {"Airspeed", 3, "", 1, 0, "kt", 0},
    {"Altimeter", 8, "", 1, 0, "m", 0},
    {"Altimeter", 6, "", 1, 0, "ft", 0},
    {"Vertical_Speed", 3, "", 1 / VerticalSpeedPerMs, 0, "m/s", 1},
    {"Vertical_Speed", 2, "", FeetPerMinute / VerticalSpeedPerMs, 0, "ft/min", 0},
    {"ADF_Indicator", 2, "bearing", 1, 0, "°", 0},
    {"Tachometer_1", 1, "", RpmPerUnit, 0, "rpm", 0},
    {"Tachometer_2", 1, "", RpmPerUnit, 0, "rpm", 0},
    {"Engine_1_Press_Diff", 1, "", 1, 0, "kg/cm2", 2},
    {"Engine_2_Press_Diff", 1, "", 1, 0, "kg/cm2", 2},
    {"Exhaust_Gas_Temp", 1, "", 1 / RankinePerKelvin, -RankineAtZeroCelsius / RankinePerKelvin, "°C", 0},
    {"Fuel_Pressure_1", 1, "", 1, 0, "kg/cm2", 1},
    {"Fuel_Pressure_2", 1, "", 1, 0, "kg/cm2", 1},
    {"Oil_Pressure_1", 1, "", 1 / PressurePerKgCm2, 0, "kg/cm2", 2},
    {"Oil_Pressure_2", 1, "", 1 / PressurePerKgCm2, 0, "kg/cm2", 2},
    {"Oil_Pressure", 1, "", 1 / PressurePerKgCm2, 0, "kg/cm2", 2},
    {"Flaps_Indicator", 1, "", 1, 0, "°", 0},
    {"Fuel_Quantity_Main_Front", 1, "", 1, 0, "l", 0},
    {"Fuel_Quantity_Main_Aft", 1, "", 1, 0, "l", 0},
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
        const double value = needle.value * face.scale + face.offset;
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
    for (std::string& text : textReadings(shown))
        readings.push_back(std::move(text));
    for (const std::string& text : host.tooltips(gauge))
        readings.push_back(windows1252ToUtf8(text));
    return readings;
}

}  // namespace devhost
