// The variable catalog and store: what the development host knows of the
// simulation, at the values of an aircraft parked on a sea-level field at
// noon with its engines off and its radios on the usual defaults.
#include "devhost/core/variables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace devhost {

namespace {

using var::AltimeterInches, var::AltimeterMillibars;

constexpr double StandardMillibars = 1013.25;
constexpr double EngineOffRankine = 518.67;  // 15 °C, the standard day, with the engines cold

constexpr auto N = Delivery::Number;
constexpr auto I = Delivery::Integer;
constexpr auto Number = VariableKind::Number, Bcd = VariableKind::Bcd, Code = VariableKind::Code,
               Flag = VariableKind::Flag;
constexpr auto Flight = VariableGroup::Flight, Engines = VariableGroup::Engines, Fuel = VariableGroup::Fuel,
               Radios = VariableGroup::Radios, Navigation = VariableGroup::Navigation, Time = VariableGroup::Time;

// Sorted by id: findVariable searches it by halves. Like the key events,
// these are the host's facts kept in the host's own words on purpose, an
// independent check on the ids the module reads.
constexpr VariableInfo catalog[] = {
    {var::AdfFrequency, "adf_freq", "BCD", I, 0x0345, "ADF frequency: BCD hundreds, tens and units of kHz (345 kHz)", Bcd, Radios, Quantity::AdfFrequency},
    {var::AdfExtension, "adf_freq_ext", "BCD", I, 0x0000, "ADF frequency: thousands digit in bit 0x100, tenths of kHz below", Bcd, Radios, Quantity::AdfExtension},
    {var::Com1Frequency, "com1_freq", "BCD", I, 0x1800, "COM1 frequency: four BCD digits after the leading 1, 10-kHz resolution", Bcd, Radios, Quantity::ComFrequency},
    {var::Nav1Frequency, "nav1_freq", "BCD", I, 0x1050, "NAV1 frequency: four BCD digits after the leading 1", Bcd, Radios, Quantity::NavFrequency},
    {var::TransponderCode, "transponder", "BCD", I, 0x7000, "transponder code, one octal digit per 4-bit group", Code, Radios, Quantity::TransponderCode},
    {39, "adf_bearing", "degrees", N, 0, "relative bearing of the ADF station", Number, Navigation, Quantity::Degrees},
    {40, "nav1_course_dev", "-127..127", N, 0, "NAV1 course deviation (positive: needle right)", Number, Navigation, Quantity::Plain},
    {41, "nav1_glide_dev", "-120..120", N, 0, "NAV1 glide-path deviation (positive: needle down)", Number, Navigation, Quantity::Plain},
    {45, "nav1_radial", "degrees", N, 0, "NAV1 radial, read by the landing indicator and not used", Number, Navigation, Quantity::Degrees},
    {46, "nav1_flags", "flags", I, 0, "NAV1 station flags; bit 0x80: the station offers an approach signal", Flag, Navigation, Quantity::Plain},
    {48, "nav1_course_angle", "1/65536 turn", N, 0, "NAV1 course angle in 65536ths of a turn", Number, Navigation, Quantity::TurnFraction},
    {60, "radios_shutdown", "flag", N, 0, "positive: the shut-down notice switches every radio off", Flag, Radios, Quantity::Flag},
    {61, "airspeed", "knots", N, 0, "indicated airspeed", Number, Flight, Quantity::Knots},
    {65, "vertical_speed", "1/256 m/s", N, 0, "vertical speed, 256 units per metre per second", Number, Flight, Quantity::VerticalSpeed},
    {69, "ball", "units", N, 0, "inclinometer ball deflection", Number, Flight, Quantity::Plain},
    {70, "turn_rate", "1/256 units", N, 0, "turn rate, 1152 (4.5 x 256) on the mark of a standard-rate turn", Number, Flight, Quantity::Plain},
    {74, "altitude", "feet", N, 0, "indicated altitude", Number, Flight, Quantity::Feet},
    {AltimeterMillibars, "altimeter_mb", "millibars", N, StandardMillibars, "altimeter pressure setting in millibars", Number, Flight, Quantity::Millibars},
    {AltimeterInches, "altimeter_inhg", "inHg", N, StandardMillibars / MillibarsPerInch, "altimeter pressure setting in inches of mercury (follows altimeter_mb)", Number, Flight, Quantity::InchesOfMercury},
    {78, "pitch", "degrees", N, 0, "pitch attitude", Number, Flight, Quantity::Degrees},
    {80, "bank", "degrees", N, 0, "bank attitude, positive to the left", Number, Flight, Quantity::Degrees},
    {84, "heading", "degrees", N, 0, "gyro heading", Number, Navigation, Quantity::Degrees},
    {276, "attitude_failure", "flag", I, 0, "attitude gyro failure: non-zero shows the warning flag", Flag, Flight, Quantity::Flag},
    {279, "attitude_warning", "flag", I, 0, "attitude gyro warning: non-zero shows the warning flag", Flag, Flight, Quantity::Flag},
    {291, "fuel_front_level", "2^-23 of full", N, 0.75 * FullTankLevel, "main front tank level, 8388608 when full", Number, Fuel, Quantity::TankLevel},
    {292, "fuel_front_capacity", "gallons", N, 200, "main front tank capacity", Number, Fuel, Quantity::Gallons},
    {297, "fuel_aft_level", "2^-23 of full", N, 0.75 * FullTankLevel, "main aft tank level, 8388608 when full", Number, Fuel, Quantity::TankLevel},
    {298, "fuel_aft_capacity", "gallons", N, 180, "main aft tank capacity", Number, Fuel, Quantity::Gallons},
    {330, "flaps", "0..16383", N, 0, "flaps position, 16383 for full flaps", Number, Flight, Quantity::FlapsTravel},
    {var::TimeOfDay, "time_of_day", "seconds", N, 12 * 3600.0, "local time of day", Number, Time, Quantity::Seconds},
    {562, "oil_pressure_1", "2050.82 per kg/cm2", N, 0, "engine 1 oil pressure", Number, Engines, Quantity::EnginePressure},
    {567, "egt_1", "Rankine", N, EngineOffRankine, "engine 1 exhaust-gas temperature", Number, Engines, Quantity::Rankine},
    {572, "oil_pressure_2", "2050.82 per kg/cm2", N, 0, "engine 2 oil pressure", Number, Engines, Quantity::EnginePressure},
    {577, "egt_2", "Rankine", N, EngineOffRankine, "engine 2 exhaust-gas temperature", Number, Engines, Quantity::Rankine},
    {582, "oil_pressure_3", "2050.82 per kg/cm2", N, 0, "engine 3 oil pressure", Number, Engines, Quantity::EnginePressure},
    {587, "egt_3", "Rankine", N, EngineOffRankine, "engine 3 exhaust-gas temperature", Number, Engines, Quantity::Rankine},
    {592, "oil_pressure_4", "2050.82 per kg/cm2", N, 0, "engine 4 oil pressure", Number, Engines, Quantity::EnginePressure},
    {597, "egt_4", "Rankine", N, EngineOffRankine, "engine 4 exhaust-gas temperature", Number, Engines, Quantity::Rankine},
    {var::SimulationTime, "sim_time", "seconds", N, 0, "simulation time since the start", Number, Time, Quantity::Seconds},
    {625, "rpm_1", "1/91 rpm", N, 0, "engine 1 speed, 91 rpm per unit", Number, Engines, Quantity::EngineSpeed},
    {630, "press_ratio_1", "ratio", N, 1.0, "engine 1 pressure ratio, 1.0 with no difference", Number, Engines, Quantity::Plain},
    {644, "rpm_2", "1/91 rpm", N, 0, "engine 2 speed, 91 rpm per unit", Number, Engines, Quantity::EngineSpeed},
    {649, "press_ratio_2", "ratio", N, 1.0, "engine 2 pressure ratio, 1.0 with no difference", Number, Engines, Quantity::Plain},
    {663, "rpm_3", "1/91 rpm", N, 0, "engine 3 speed, 91 rpm per unit", Number, Engines, Quantity::EngineSpeed},
    {668, "press_ratio_3", "ratio", N, 1.0, "engine 3 pressure ratio", Number, Engines, Quantity::Plain},
    {682, "rpm_4", "1/91 rpm", N, 0, "engine 4 speed, 91 rpm per unit", Number, Engines, Quantity::EngineSpeed},
    {687, "press_ratio_4", "ratio", N, 1.0, "engine 4 pressure ratio", Number, Engines, Quantity::Plain},
    {var::GyroCaged, "gyro_caged", "flag", N, 0, "attitude gyro caged (1) or free (0)", Flag, Flight, Quantity::Flag},
    {var::GpsDrivesNav, "gps_drives_nav", "flag", N, 0, "GPS drives the navigation display (1) or NAV1 does (0)", Flag, Navigation, Quantity::Flag},
    {var::HeadingBug, "heading_bug", "degrees", N, 0, "selected heading (course)", Number, Navigation, Quantity::Degrees},
    {var::AdfTone, "adf_tone", "flag", N, 0, "ADF identifier audio on (1) or off (0)", Flag, Radios, Quantity::Flag},
    {899, "fuel_pressure_1", "2050.82 per kg/cm2", N, 0, "engine 1 fuel pressure", Number, Fuel, Quantity::EnginePressure},
    {900, "fuel_pressure_2", "2050.82 per kg/cm2", N, 0, "engine 2 fuel pressure", Number, Fuel, Quantity::EnginePressure},
    {901, "fuel_pressure_3", "2050.82 per kg/cm2", N, 0, "engine 3 fuel pressure", Number, Fuel, Quantity::EnginePressure},
    {902, "fuel_pressure_4", "2050.82 per kg/cm2", N, 0, "engine 4 fuel pressure", Number, Fuel, Quantity::EnginePressure},
};

constexpr bool sortedById()
{
    for (size_t i = 1; i < std::size(catalog); ++i)
        if (catalog[i - 1].id >= catalog[i].id)
            return false;
    return true;
}
static_assert(sortedById(), "the catalog is searched by halves");

// The integer a host integer variable holds for a value, or nothing when the
// value has no such integer (not a number, negative, 2^32 or more).
std::optional<uint32_t> toRegisterValue(double value)
{
    if (!std::isfinite(value) || value < 0.0 || value >= 4294967296.0)
        return std::nullopt;
    return static_cast<uint32_t>(value);
}

}  // namespace

std::string_view kindName(VariableKind kind)
{
    switch (kind) {
    case VariableKind::Number: return "number";
    case VariableKind::Bcd: return "BCD";
    case VariableKind::Code: return "code";
    case VariableKind::Flag: return "flag";
    }
    return "?";
}

std::string_view groupName(VariableGroup group)
{
    switch (group) {
    case VariableGroup::Flight: return "flight";
    case VariableGroup::Engines: return "engines";
    case VariableGroup::Fuel: return "fuel";
    case VariableGroup::Radios: return "radios";
    case VariableGroup::Navigation: return "navigation";
    case VariableGroup::Time: return "time";
    }
    return "?";
}

std::span<const VariableInfo> knownVariables()
{
    return catalog;
}

const VariableInfo* findVariable(uint32_t id)
{
    auto it = std::lower_bound(std::begin(catalog), std::end(catalog), id,
                               [](const VariableInfo& v, uint32_t key) { return v.id < key; });
    return it != std::end(catalog) && it->id == id ? &*it : nullptr;
}

const VariableInfo* findVariable(std::string_view name)
{
    for (const auto& v : catalog)
        if (v.name == name)
            return &v;
    return nullptr;
}

VariableStore::VariableStore() : cells_(DirectIds)
{
    static_assert(std::end(catalog)[-1].id < DirectIds, "every catalog variable is in the direct table");
    for (const auto& v : catalog)
        cells_[v.id] = {.value = v.initial, .held = true, .integer = v.delivery == Delivery::Integer};
}

bool VariableStore::isKnown(uint32_t id) const
{
    return findVariable(id) != nullptr;
}

double VariableStore::get(uint32_t id) const
{
    if (id < DirectIds)
        return cells_[id].held ? cells_[id].value : 0.0;
    auto it = others_.find(id);
    return it == others_.end() ? 0.0 : it->second;
}

double* VariableStore::slot(uint32_t id)
{
    if (id >= DirectIds)
        return &others_[id];
    cells_[id].held = true;
    return &cells_[id].value;
}

uint32_t VariableStore::getInteger(uint32_t id) const
{
    return toRegisterValue(get(id)).value_or(0);
}

bool VariableStore::setOther(uint32_t id, double value)
{
    // Only catalog variables are delivered as integers, and all of them
    // have a direct cell.
    if (id < DirectIds && cells_[id].integer) {
        auto integer = toRegisterValue(value);
        if (!integer)
            return false;
        cells_[id].value = *integer;
        return true;
    }
    *slot(id) = value;
    // One knob sets both readings: the two pressure variables are one setting.
    if (id == AltimeterMillibars)
        *slot(AltimeterInches) = value / MillibarsPerInch;
    else if (id == AltimeterInches)
        *slot(AltimeterMillibars) = value * MillibarsPerInch;
    return true;
}

void VariableStore::setInteger(uint32_t id, uint32_t value)
{
    set(id, value);
}

void VariableStore::fill(SourceVar& var)
{
    bind(var);
}

void VariableStore::noteRead(uint32_t id)
{
    if (id < DirectIds) {
        if (cells_[id].read)
            return;
        cells_[id].read = true;
    }
    if (auto at = std::lower_bound(reads_.begin(), reads_.end(), id); at == reads_.end() || *at != id)
        reads_.insert(at, id);
}

VariableStore::Binding VariableStore::bind(SourceVar& var)
{
    std::memset(&var.value, 0, sizeof var.value);
    if (var.id == 0)  // "no variable": nothing to deliver, nothing to report
        return {};
    noteRead(var.id);
    Binding binding{.id = var.id};
    if (var.id < DirectIds) {
        Cell& cell = cells_[var.id];
        if (cell.held)
            binding = {.id = var.id, .value = &cell.value, .integer = cell.integer};
    } else if (auto it = others_.find(var.id); it != others_.end()) {
        binding = {.id = var.id, .value = &it->second};
    }
    if (!binding.value) {
        if (std::find(unknownReads_.begin(), unknownReads_.end(), var.id) == unknownReads_.end())
            unknownReads_.push_back(var.id);
        return binding;
    }
    deliver(var, binding);
    return binding;
}

}  // namespace devhost
