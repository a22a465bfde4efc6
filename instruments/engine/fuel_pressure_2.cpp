// Fuel_Pressure_2: fuel pressure of engine 2, 0 to 60 kg/cm2.
//
// Reads host variable 900 (engine 2 fuel pressure). Sends no key events.
// Owns fuelPressure2: what the needle showed in the latest frame, which the
// tooltip prints.
#include "framework/gauge_list.h"
#include "instruments/engine/pressure_dials.h"

namespace {

constexpr uint32_t FuelPressure = 900;

double fuelPressure2 = 0.0;

constinit auto dial = familyDial(FuelPressureFamily<fuelPressure2>, FuelPressureScale, &fuelPressure2Gauge,
                                 FuelPressure, "Engine 2 fuel pressure (%1!4.1f! kg/cm2)");

}  // namespace

GaugeDefinition fuelPressure2Gauge = gaugeHeader("Fuel_Pressure_2", 100, dial.elements.roots(), dial.mouseAreas);
