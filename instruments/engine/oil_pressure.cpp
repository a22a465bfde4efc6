// Oil_Pressure: the oil pressure dial of Oil_Pressure_1, for any engine.
//
// Defined for engine 1 (host variable 562); the panel file's parameter text
// names the engine ("2", "3" or "4"), and the gauge callback moves the
// needle's variable to that engine's at installation. The tooltip keeps
// reading engine 1's variable. Sends no key events. Owns no state.
#include "framework/engine_translation.h"
#include "framework/gauge_list.h"
#include "instruments/engine/pressure_dials.h"

namespace {

constinit auto dial = engine1OilPressureDial(&oilPressureGauge);

}  // namespace

GaugeDefinition oilPressureGauge =
    gaugeHeader("Oil_Pressure", 100, dial.elements.roots(), dial.mouseAreas, engineTranslationCallback);
