// Engine_2_Press_Diff: difference of pressure between compressor and turbine
// of engine 2, 0 to 1 kg/cm2.
//
// Reads host variable 649 (engine 2 pressure ratio). Sends no key events.
// Owns engine2PressDiff: what the needle showed in the latest frame, which
// the tooltip prints.
#include "framework/gauge_list.h"
#include "instruments/engine/pressure_dials.h"

namespace {

constexpr uint32_t PressureRatio = 649;

double engine2PressDiff = 0.0;

constinit auto dial =
    familyDial(PressureDifferenceFamily<engine2PressDiff>, PressureDifferenceScale, &engine2PressDiffGauge,
               PressureRatio, "Engine 2 compressor-turbine difference of pressure (%1!04.2f! kg/cm2)");

}  // namespace

GaugeDefinition engine2PressDiffGauge = gaugeHeader("Engine_2_Press_Diff", 100, dial.elements.roots(), dial.mouseAreas);
