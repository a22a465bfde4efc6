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

inline constexpr double MillibarsPerInch = 33.8638866667;  // one inch of mercury at 0 °C, in hPa
inline constexpr double FullTankLevel = 8388608.0;         // the level variables count 2^23 for a full tank

// The variables the host itself sets or steps by number: the clocks the
// frames advance, the radios and switches the key events change, the
// pressure setting that is held in two units, and the condition the
// shut-down area reads on the shut-down notice.
namespace var {
inline constexpr uint32_t AdfFrequency = 16, AdfExtension = 18, Com1Frequency = 23, Nav1Frequency = 24,
                          TransponderCode = 38, AltimeterMillibars = 75, AltimeterInches = 76, TimeOfDay = 557,
                          SimulationTime = 604, GyroCaged = 825, GpsDrivesNav = 848, HeadingBug = 855,
                          AdfTone = 880, RadiosShutdown = 60;
}  // namespace var

// What a variable holds, as `devhost vars` tells it.
enum class VariableKind { Number, Bcd, Code, Flag };

// The groups the catalogue is shown in.
enum class VariableGroup { Flight, Engines, Fuel, Radios, Navigation, Time };

// How the host encodes a variable's value, and so which units and natural
// forms a user may write it in (values.h converts them).
enum class Quantity {
    Plain,            // the host's number as it is
    Flag,             // 0 or 1 (on/off)
    Knots,
    Feet,
    VerticalSpeed,    // 256 per metre per second
    Degrees,
    TurnFraction,     // 65536 per turn
    Millibars,
    InchesOfMercury,
    EngineSpeed,      // 1 per 91 rpm
    Rankine,
    EnginePressure,   // 2050.82 per kg/cm2
    TankLevel,        // 2^23 when full
    Gallons,
    FlapsTravel,      // 16383 at full flaps
    Seconds,
    ComFrequency,     // BCD digits after the leading 1, 10 kHz
    NavFrequency,
    AdfFrequency,     // BCD hundreds, tens and units of kHz (with adf_freq_ext)
    AdfExtension,     // thousands bit and tenths of kHz
    TransponderCode,  // four octal digits, one per 4-bit group
};

struct VariableInfo {
    uint32_t id;
    std::string_view name;   // short lower-case name used in flight scripts, e.g. "airspeed"
    std::string_view unit;   // the host's unit, e.g. "knots", "BCD", "flags"
    Delivery delivery;
    double initial;          // for an integer variable, the integer's value
    std::string_view about;  // one line for `devhost vars` and error messages
    VariableKind kind;
    VariableGroup group;
    Quantity quantity;
};

std::string_view kindName(VariableKind kind);    // "number", "BCD", "code", "flag"
std::string_view groupName(VariableGroup group); // "flight", "engines", ...

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
    bool set(uint32_t id, double value)
    {
        // A flight sets dozens every frame: a number variable the store
        // holds that is not half of the pressure setting takes the value
        // here, anything else in setOther.
        if (id < DirectIds && cells_[id].held && !cells_[id].integer && id != var::AltimeterMillibars &&
            id != var::AltimeterInches) {
            cells_[id].value = value;
            return true;
        }
        return setOther(id, value);
    }
    void setInteger(uint32_t id, uint32_t value);

    // Host service 40: fills var.value for var.id (integers in the low 32
    // bits, the rest of the slot 0). Unknown ids give 0 and are recorded;
    // id 0 (no variable) gives 0 and is not.
    void fill(SourceVar& var);

    // Where a reader that reads one variable every frame (an element's
    // source) finds it in the store, looked up at its first read: value is
    // null while the store does not hold the id.
    struct Binding {
        uint32_t id = 0;
        const double* value = nullptr;
        bool integer = false;  // delivered as an integer
    };
    // fill() through a binding, which is looked up again only when var's id
    // changed or the store did not hold it.
    void fill(SourceVar& var, Binding& binding)
    {
        if (var.id != binding.id || !binding.value) {
            binding = bind(var);  // the read recorded as any other
            return;
        }
        deliver(var, binding);
    }

    // Ids read through fill() that the store does not hold, each once, in
    // the order first read (a gauge reading one every frame adds it once).
    const std::vector<uint32_t>& unknownReads() const { return unknownReads_; }
    // Every id read through fill(), ascending: what the gauges look at.
    const std::vector<uint32_t>& reads() const { return reads_; }
    bool isKnown(uint32_t id) const;

private:
    // A variable with a small id, looked up by indexing rather than by
    // search: the gauges read dozens every frame, each afresh.
    struct Cell {
        double value = 0.0;
        bool held = false;     // the store holds the id
        bool integer = false;  // delivered as an integer
        bool read = false;     // in reads_
    };
    static constexpr uint32_t DirectIds = 1024;  // above every id in the catalog

    // fill(), telling where the value was found (value null when not).
    Binding bind(SourceVar& var);
    // The whole slot: an integer variable leaves its upper half 0, not
    // whatever a double left there. An integer variable's value is always
    // one (set() refuses any other).
    static void deliver(SourceVar& var, const Binding& binding)
    {
        if (binding.integer) {
            var.value.number = 0.0;  // all bits clear
            var.value.integer = static_cast<uint32_t>(*binding.value);
        } else {
            var.value.number = *binding.value;
        }
    }
    bool setOther(uint32_t id, double value);
    double* slot(uint32_t id);  // where the store keeps id's value, made when not held
    void noteRead(uint32_t id);

    std::vector<Cell> cells_;             // ids below DirectIds; never resized, so bindings stay valid
    std::map<uint32_t, double> others_;   // the ids above
    std::vector<uint32_t> unknownReads_;
    std::vector<uint32_t> reads_;
};

}  // namespace devhost
