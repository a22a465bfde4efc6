// Oil_Pressure_1: oil pressure of engine 1, 0 to 10 kg/cm2.
//
// Reads host variable 562 (engine 1 oil pressure): the needle shows it raw
// against a scale that carries the unit factor, and the tooltip reads it
// afresh. Sends no key events. Owns no state.
#include "framework/gauge_list.h"
#include "instruments/engine/pressure_dials.h"

namespace {

constinit auto dial = engine1OilPressureDial(&oilPressure1Gauge);

}  // namespace

GaugeDefinition oilPressure1Gauge = gaugeHeader("Oil_Pressure_1", 100, dial.elements.roots(), dial.mouseAreas);
