// Fuel_Quantity_Main_Aft: contents of the main aft tank, in litres.
//
// Reads host variable 298 (aft tank capacity, gallons) at installation and
// host variable 297 (aft tank level) every frame. Sends no key events. Owns
// aftTankCapacity (litres, from installation on) and aftTankContents (what
// the needle showed in the latest frame, which the tooltip prints).
#include "framework/gauge_list.h"
#include "instruments/engine/fuel_quantity_dial.h"

namespace {

double aftTankCapacity = 0.0;
double aftTankContents = 0.0;

constexpr uint32_t AftTankLevel = 297;
constexpr uint32_t AftTankGallons = 298;

constinit auto dial = familyDial(FuelQuantityFamily<aftTankCapacity, aftTankContents>, FuelQuantityScale,
                                 &fuelQuantityAftGauge, AftTankLevel, "Main rear tank level (%1!d! liters)");

}  // namespace

GaugeDefinition fuelQuantityAftGauge = gaugeHeader("Fuel_Quantity_Main_Aft", 100, dial.elements.roots(),
                                                   dial.mouseAreas, captureCapacity<AftTankGallons, aftTankCapacity>);
