// Engine_1_Press_Diff: difference of pressure between compressor and turbine
// of engine 1, 0 to 1 kg/cm2.
//
// Reads host variable 630 (engine 1 pressure ratio). Sends no key events.
// Owns engine1PressDiff: what the needle showed in the latest frame, which
// the tooltip prints.
#include "framework/gauge_list.h"
#include "instruments/engine/pressure_dials.h"

namespace {

constexpr uint32_t PressureRatio = 630;

double engine1PressDiff = 0.0;

constinit auto dial =
    familyDial(PressureDifferenceFamily<engine1PressDiff>, PressureDifferenceScale, &engine1PressDiffGauge,
               PressureRatio, "Engine 1 compressor-turbine difference of pressure (%1!04.2f! kg/cm2)");

}  // namespace

GaugeDefinition engine1PressDiffGauge = gaugeHeader("Engine_1_Press_Diff", 100, dial.elements.roots(), dial.mouseAreas);
