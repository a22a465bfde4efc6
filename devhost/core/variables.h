// The simulation's variables as the host hands them to the module: every
// variable the gauges read, by host number, with its unit, its value at
// start and how the host delivers it (a double, or an unsigned integer in
// the low 32 bits of the value slot).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/gauge_model.h"

namespace devhost {

enum class Delivery { Number, Integer };

struct VariableInfo {
    uint32_t id;
    std::string_view name;   // short lower-case name used in flight scripts, e.g. "airspeed"
    std::string_view unit;   // e.g. "knots", "BCD", "flags"
    Delivery delivery;
    double initial;          // for an integer variable, the integer's value
    std::string_view about;  // one line for `devhost vars` and error messages
};

// Every variable the module reads, sorted by id.
std::span<const VariableInfo> knownVariables();
const VariableInfo* findVariable(uint32_t id);
const VariableInfo* findVariable(std::string_view name);

class VariableStore {
public:
    VariableStore();  // every known variable at its initial value

    // The value as a double; an integer variable reads as its integer.
    double get(uint32_t id) const;
    uint32_t getInteger(uint32_t id) const;

    // Sets a variable. For an integer variable the value is converted to
    // uint32, the fraction dropped (NaN, infinities, negative values and
    // 2^32 or more are refused: returns false, the variable keeps its value).
    // A number variable takes any double, NaN included, so that tests can
    // feed the gauges what a host might. An id outside the catalog is stored
    // as a number and delivered from then on. The two pressure-setting
    // variables (75 millibars, 76 inches of mercury) are one setting: either
    // sets the other too.
    bool set(uint32_t id, double value);
    void setInteger(uint32_t id, uint32_t value);

    // Host service 40: fills var.value for var.id (integers in the low 32
    // bits, the rest of the slot 0). Unknown ids give 0 and are recorded;
    // id 0 (no variable) gives 0 and is not.
    void fill(SourceVar& var);

    // Ids read through fill() that the store does not hold, each once, in
    // the order first read (a gauge reading one every frame adds it once).
    const std::vector<uint32_t>& unknownReads() const { return unknownReads_; }
    bool isKnown(uint32_t id) const;

private:
    std::map<uint32_t, double> values_;
    std::vector<uint32_t> unknownReads_;
};

}  // namespace devhost
