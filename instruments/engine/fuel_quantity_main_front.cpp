// Fuel_Quantity_Main_Front: contents of the main front tank, in litres.
//
// Reads host variable 292 (front tank capacity, gallons) at installation and
// host variable 291 (front tank level) every frame. Sends no key events.
// Owns frontTankCapacity (litres, from installation on) and
// frontTankContents (what the needle showed in the latest frame, which the
// tooltip prints).
#include "framework/gauge_list.h"
#include "instruments/engine/fuel_quantity_dial.h"

namespace {

double frontTankCapacity = 0.0;
double frontTankContents = 0.0;

constexpr uint32_t FrontTankLevel = 291;
constexpr uint32_t FrontTankGallons = 292;

constinit auto dial = familyDial(FuelQuantityFamily<frontTankCapacity, frontTankContents>, FuelQuantityScale,
                                 &fuelQuantityFrontGauge, FrontTankLevel, "Main front tank level (%1!d! liters)");

}  // namespace

GaugeDefinition fuelQuantityFrontGauge =
    gaugeHeader("Fuel_Quantity_Main_Front", 100, dial.elements.roots(), dial.mouseAreas,
                captureCapacity<FrontTankGallons, frontTankCapacity>);
