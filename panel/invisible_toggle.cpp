// Invisible_Toggle: an invisible button (its face is all black), one of the
// seven command buttons. What a click does is written in the parameter text of
// the placed button (panel/toggle_commands.h); this file gives its face and
// its help.
#include "framework/gauge_list.h"
#include "panel/toggle_commands.h"

namespace {

constexpr int32_t FaceBitmap = 100;

constinit ElementChain elements{&invisibleToggleGauge, buttonFace(FaceBitmap)};

MouseArea mouseAreas[] = {region(), commandSpot(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition invisibleToggleGauge =
    gaugeHeader("Invisible_Toggle", ButtonSize, elements.roots(), mouseAreas, commandButtonSetUp);
