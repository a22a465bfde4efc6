// Tachometer_2: engine 2 speed.
//
// Reads host variable 644 (engine 2 speed) for the needle and the tooltip.
// Sends no key events. Owns no state.
#include "framework/gauge_list.h"
#include "instruments/engine/tachometer_dial.h"

namespace {

constexpr uint32_t EngineSpeed = 644;

constinit auto dial = familyDial(TachometerFamily<EngineSpeed>, TachometerScale, &tachometer2Gauge, EngineSpeed,
                                 "Tachometer Engine 2 (%1!d! RPM)");

}  // namespace

GaugeDefinition tachometer2Gauge = gaugeHeader("Tachometer_2", 100, dial.elements.roots(), dial.mouseAreas);
