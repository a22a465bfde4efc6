// Throttle_Toggle: the throttle-window button, one of the seven command
// buttons. What a click does is written in the parameter text of the placed
// button (panel/toggle_commands.h); this file gives its face and its help.
#include "framework/gauge_list.h"
#include "panel/toggle_commands.h"

namespace {

constexpr int32_t FaceBitmap = 150;
constexpr uint32_t HelpId = 43912;

constinit ElementChain elements{&throttleToggleGauge, buttonFace(FaceBitmap)};

MouseArea mouseAreas[] = {region({}, HelpId), commandSpot(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition throttleToggleGauge =
    gaugeHeader("Throttle_Toggle", ButtonSize, elements.roots(), mouseAreas, commandButtonSetUp);
