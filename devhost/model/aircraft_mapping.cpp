#include "devhost/model/aircraft_mapping.h"

#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <utility>

#include "devhost/core/variables.h"

namespace devhost {

namespace {

constexpr double TurnUnitsOnTheMark = 1152;        // the turn needle on its L or R mark
constexpr double StandardRateDegPerSecond = 3;     // a full turn in two minutes
constexpr double BallFullScale = 127, BallFullScaleDeg = 15;
constexpr double RpmAtFullSpeed = 10000;
constexpr double FlapsFullTravel = 16383;
// The standard atmosphere's pressure altitude: h = 145366.45 ft (1 - (p/1013.25)^0.190284).
constexpr double StandardMillibars = 1013.25, PressureAltitudeFeet = 145366.45, PressureAltitudeExponent = 0.190284;

using Slot = std::function<double&(ModelState&)>;

// An engine's and a tank's properties, "#" standing for its index, and
// where their values go.
constexpr std::pair<const char*, double EngineState::*> Engine[] = {
    {"propulsion/engine[#]/n2", &EngineState::speedPercent},
    {"instruments/engine/egt-degR[#]", &EngineState::exhaustRankine},
    {"instruments/engine/oil-kgcm2[#]", &EngineState::oilKgPerCm2},
    {"instruments/engine/fuel-kgcm2[#]", &EngineState::fuelKgPerCm2},
    {"instruments/engine/pressure-ratio[#]", &EngineState::pressureRatio},
};
constexpr std::pair<const char*, double TankState::*> Tank[] = {
    {"propulsion/tank[#]/pct-full", &TankState::percentFull},
    {"instruments/fuel/capacity-gal[#]", &TankState::capacityGallons},
};

std::string indexed(std::string_view pattern, size_t n)
{
    std::string name(pattern);
    name.replace(name.find('#'), 1, std::to_string(n));
    return name;
}

// The flight's properties and where their values go.
constexpr std::pair<const char*, double ModelState::*> Flight[] = {
    // Knots, feet, feet a second.
    {"velocities/vc-kts", &ModelState::airspeedKnots},
    {"atmosphere/pressure-altitude", &ModelState::pressureAltitudeFt},
    {"velocities/h-dot-fps", &ModelState::climbFeetPerSecond},
    // Degrees, and the heading's rate in radians a second.
    {"attitude/theta-deg", &ModelState::pitchDeg},
    {"attitude/phi-deg", &ModelState::bankRightDeg},
    {"attitude/psi-deg", &ModelState::headingTrueDeg},
    {"velocities/psidot-rad_sec", &ModelState::turnRadPerSecond},
    // The specific force at the pilot's seat, in g.
    {"accelerations/n-pilot-y-norm", &ModelState::sideForceG},
    {"accelerations/n-pilot-z-norm", &ModelState::normalForceG},
    // Geodetic latitude, longitude, feet above the sea: for the radios.
    {"position/lat-geod-deg", &ModelState::latitudeDeg},
    {"position/long-gc-deg", &ModelState::longitudeDeg},
    {"position/h-sl-ft", &ModelState::altitudeMslFt},
    // 0 up, 1 full.
    {"fcs/flap-pos-norm", &ModelState::flapsFraction},
};

std::vector<std::pair<std::string, Slot>> fields()
{
    std::vector<std::pair<std::string, Slot>> list;
    for (auto [name, member] : Flight)
        list.emplace_back(name, [member](ModelState& s) -> double& { return s.*member; });
    for (size_t n = 0; n < 2; ++n) {
        for (auto [name, member] : Engine)
            list.emplace_back(indexed(name, n), [member, n](ModelState& s) -> double& { return s.engines[n].*member; });
        for (auto [name, member] : Tank)
            list.emplace_back(indexed(name, n), [member, n](ModelState& s) -> double& { return s.tanks[n].*member; });
    }
    return list;
}

const std::vector<std::pair<std::string, Slot>>& fieldTable()
{
    static const std::vector<std::pair<std::string, Slot>> table = fields();
    return table;
}

uint32_t idOf(std::string_view name)
{
    const VariableInfo* info = findVariable(name);
    if (!info)
        throw std::logic_error("the catalog has no variable " + std::string(name));
    return info->id;
}

// The host variables the model drives, looked up by name once rather than
// every frame.
struct EngineIds {
    uint32_t rpm, egt, oil, fuel, ratio;
};
struct TankIds {
    uint32_t level, capacity;
};
struct InstrumentIds {
    uint32_t airspeed, altitude, verticalSpeed, pitch, bank, heading, turnRate, ball, flaps;
    std::array<EngineIds, 2> engines;
    std::array<TankIds, 2> tanks;
};

const InstrumentIds& instrumentIds()
{
    static const InstrumentIds ids = [] {
        InstrumentIds found{idOf("airspeed"), idOf("altitude"), idOf("vertical_speed"), idOf("pitch"), idOf("bank"),
                            idOf("heading"),  idOf("turn_rate"), idOf("ball"),          idOf("flaps"), {}, {}};
        for (size_t n = 0; n < found.engines.size(); ++n) {
            const std::string i = std::to_string(n + 1);
            found.engines[n] = {idOf("rpm_" + i), idOf("egt_" + i), idOf("oil_pressure_" + i),
                                idOf("fuel_pressure_" + i), idOf("press_ratio_" + i)};
        }
        constexpr std::array<std::string_view, 2> tank = {"front", "aft"};
        for (size_t n = 0; n < found.tanks.size(); ++n)
            found.tanks[n] = {idOf("fuel_" + std::string(tank[n]) + "_level"),
                              idOf("fuel_" + std::string(tank[n]) + "_capacity")};
        return found;
    }();
    return ids;
}

double wrapDegrees(double degrees)
{
    const double wrapped = std::fmod(degrees, 360.0);
    return wrapped < 0 ? wrapped + 360.0 : wrapped;
}

}  // namespace

std::span<const std::string> modelProperties()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const auto& field : fieldTable())
            list.push_back(field.first);
        return list;
    }();
    return names;
}

ModelState modelState(std::span<const double> values)
{
    ModelState state;
    const auto& table = fieldTable();
    for (size_t i = 0; i < table.size() && i < values.size(); ++i)
        table[i].second(state) = values[i];
    return state;
}

std::vector<VariableValue> instrumentValues(const ModelState& state, double altimeterMillibars, double magneticVariation)
{
    // The altimeter reads the height above the pressure level it is set to.
    const double settingCorrection =
        PressureAltitudeFeet * (1 - std::pow(altimeterMillibars / StandardMillibars, PressureAltitudeExponent));
    const double degPerSecond = state.turnRadPerSecond * 180 / std::numbers::pi;
    const double apparentGravityDeg = std::atan2(state.sideForceG, -state.normalForceG) * 180 / std::numbers::pi;
    const InstrumentIds& id = instrumentIds();
    std::vector<VariableValue> values = {
        {id.airspeed, state.airspeedKnots},
        {id.altitude, state.pressureAltitudeFt - settingCorrection},
        {id.verticalSpeed, state.climbFeetPerSecond * MetresPerFoot * VerticalSpeedPerMs},
        {id.pitch, state.pitchDeg},
        {id.bank, -state.bankRightDeg},
        {id.heading, wrapDegrees(state.headingTrueDeg - magneticVariation)},
        {id.turnRate, degPerSecond * TurnUnitsOnTheMark / StandardRateDegPerSecond},
        {id.ball, -apparentGravityDeg * BallFullScale / BallFullScaleDeg},
        {id.flaps, state.flapsFraction * FlapsFullTravel},
    };
    for (size_t n = 0; n < state.engines.size(); ++n) {
        const EngineState& engine = state.engines[n];
        const EngineIds& e = id.engines[n];
        values.push_back({e.rpm, engine.speedPercent / 100 * RpmAtFullSpeed / RpmPerUnit});
        values.push_back({e.egt, engine.exhaustRankine});
        values.push_back({e.oil, engine.oilKgPerCm2 * PressurePerKgCm2});
        values.push_back({e.fuel, engine.fuelKgPerCm2 * PressurePerKgCm2});
        values.push_back({e.ratio, engine.pressureRatio});
    }
    for (size_t n = 0; n < state.tanks.size(); ++n) {
        values.push_back({id.tanks[n].level, state.tanks[n].percentFull / 100 * FullTankLevel});
        values.push_back({id.tanks[n].capacity, state.tanks[n].capacityGallons});
    }
    return values;
}

}  // namespace devhost
