// Tachometer_1: engine 1 speed.
//
// Reads host variable 625 (engine 1 speed) for the needle and the tooltip.
// Sends no key events. Owns no state.
#include "framework/gauge_list.h"
#include "instruments/engine/tachometer_dial.h"

namespace {

constexpr uint32_t EngineSpeed = 625;

constinit auto dial = familyDial(TachometerFamily<EngineSpeed>, TachometerScale, &tachometer1Gauge, EngineSpeed,
                                 "Tachometer Engine 1 (%1!d! RPM)");

}  // namespace

GaugeDefinition tachometer1Gauge = gaugeHeader("Tachometer_1", 100, dial.elements.roots(), dial.mouseAreas);
