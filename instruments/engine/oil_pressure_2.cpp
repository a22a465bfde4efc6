// Oil_Pressure_2: oil pressure of engine 2, 0 to 10 kg/cm2.
//
// Reads host variable 572 (engine 2 oil pressure): the needle shows it raw
// against a scale that carries the unit factor, and the tooltip reads it
// afresh. Sends no key events. Owns no state.
#include "framework/gauge_list.h"
#include "instruments/engine/pressure_dials.h"

namespace {

constexpr uint32_t OilPressure = 572;

constinit auto dial = familyDial(OilPressureFamily<OilPressure>, OilPressureScale, &oilPressure2Gauge, OilPressure,
                                 "Engine 2 oil pressure (%1!4.2f! kg/cm2)");

}  // namespace

GaugeDefinition oilPressure2Gauge = gaugeHeader("Oil_Pressure_2", 100, dial.elements.roots(), dial.mouseAreas);
