// Exhaust_Gas_Temp: exhaust-gas temperature, face marked 3, 6, 9 hundred
// degrees Celsius with a red arc at the top end.
//
// Defined for engine 1: the needle shows host variable 567 (engine 1
// exhaust-gas temperature, degrees Rankine) and the tooltip is the host's
// own, help id 12513. The panel file's parameter text names the engine ("2",
// "3" or "4"), and the gauge callback moves both to that engine's at
// installation. Sends no key events. Owns no state.
#include "framework/engine_translation.h"
#include "framework/gauge_list.h"
#include "framework/needle_dial.h"
#include "instruments/engine/engine_dials.h"

namespace {

constexpr uint32_t ExhaustTemperature = 567;
constexpr uint32_t ExhaustTemperatureHelpId = 12513;

// Degrees Rankine, with the degrees Celsius each stands for (0 Celsius is
// 491.67 Rankine): everything up to 300 rests on the first mark, and the
// scale ends at 1000.
constexpr CalibrationPoint scale[] = {
    {{42, 78}, 491.67},   // 0
    {{42, 78}, 1031.67},  // 300, the first mark
    {{86, 60}, 1571.67},  // 600
    {{149, 64}, 2111.67}, // 900
    {{160, 74}, 2291.67}, // 1000
    {{160, 74}, 2471.67}, // 1100, the stop
};

// The needle turns about a point near the foot of the face.
constexpr DialParts parts = {
    .face = 1180, .needle = 1190, .bezel = 1200, .needlePosition = {101, 183}, .needleOffset = {0, 4}};

constinit NeedleDial dial{{.gauge = &exhaustGasTempGauge,
                           .parts = parts,
                           .variable = ExhaustTemperature,
                           .failures = EngineNeedleFailures,
                           .helpId = ExhaustTemperatureHelpId},
                          scale};

}  // namespace

GaugeDefinition exhaustGasTempGauge =
    gaugeHeader("Exhaust_Gas_Temp", 100, dial.elements.roots(), dial.mouseAreas, engineTranslationCallback);
