// Fuel_Pressure_1: fuel pressure of engine 1, 0 to 60 kg/cm2.
//
// Reads host variable 899 (engine 1 fuel pressure). Sends no key events.
// Owns fuelPressure1: what the needle showed in the latest frame, which the
// tooltip prints.
#include "framework/gauge_list.h"
#include "instruments/engine/pressure_dials.h"

namespace {

constexpr uint32_t FuelPressure = 899;

double fuelPressure1 = 0.0;

constinit auto dial = familyDial(FuelPressureFamily<fuelPressure1>, FuelPressureScale, &fuelPressure1Gauge,
                                 FuelPressure, "Engine 1 fuel pressure (%1!4.1f! kg/cm2)");

}  // namespace

GaugeDefinition fuelPressure1Gauge = gaugeHeader("Fuel_Pressure_1", 100, dial.elements.roots(), dial.mouseAreas);
