// Values as pilots write them ("250kmh", "122.80", "7700", "60%") turned
// into the host's encodings (registers.h for the radios' BCD), and host
// values told back in those forms: the one place where units are converted.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/registers.h"
#include "devhost/core/variables.h"

namespace devhost {

// A value that cannot be what its variable holds; the message names the
// value and what would be accepted, and the caller adds where it came from.
class ValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The host's encodings of the engines' and the flight's units.
inline constexpr double RpmPerUnit = 91.0;           // the engine-speed variables count 91 rpm per unit
inline constexpr double PressurePerKgCm2 = 2050.82;  // the pressure variables per kg/cm2
inline constexpr double VerticalSpeedPerMs = 256.0;  // the vertical-speed variable per m/s
inline constexpr double MetresPerFoot = 0.3048;
inline constexpr double RankinePerKelvin = 1.8;
inline constexpr double RankineAtZeroCelsius = 491.67;

struct VariableValue {
    uint32_t id;
    double value;
};

// What a setting names: a variable by script name or host number, or "adf"
// (the ADF frequency in kHz, both of its variables).
struct SettingTarget {
    uint32_t id = 0;
    const VariableInfo* info = nullptr;  // null for a host number the catalogue lacks
    std::string name;
};

// Throws ValueError for an unknown name (with the closest names) or a
// number outside 1 to 4294967295.
SettingTarget settingTarget(std::string_view name);

// The value converted to the host's encoding: one variable, or two for an
// ADF frequency. Accepted: the host's raw number, hex ("0x1820") for
// integer variables, a number with a unit where the variable has one
// ("250kmh", "3000m", "650C"), frequencies in MHz or kHz ("122.80",
// "110.30", "345.5"), transponder codes ("7700"), on/off for flags and
// hh:mm[:ss] for times. Throws ValueError.
std::vector<VariableValue> hostValues(const SettingTarget& target, std::string_view text);

// "NAME=VALUE" in one go.
std::vector<VariableValue> parseSetting(std::string_view setting);

// For `devhost vars`: the forms a variable accepts besides its raw number,
// e.g. "kt, kmh, km/h, mph" or "MHz, e.g. 122.80 (118.000 to 136.975, 25-kHz steps)".
std::string acceptedForms(const VariableInfo& variable);

// A host value told in the variable's natural form: "250 kt", "15 °C",
// "118.000 MHz", "7000", "on"; the raw number where it has none.
std::string naturalText(const VariableInfo& variable, double hostValue);

// Every name a setting may use, for suggestions.
std::vector<std::string_view> settingNames();

}  // namespace devhost
