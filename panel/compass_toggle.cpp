// Compass_Toggle: the compass-window button, one of the seven command buttons.
// What a click does is written in the parameter text of the placed button
// (panel/toggle_commands.h); this file gives its face and its help.
#include "framework/gauge_list.h"
#include "panel/toggle_commands.h"

namespace {

constexpr int32_t FaceBitmap = 160;
constexpr uint32_t HelpId = 43913;

constinit ElementChain elements{&compassToggleGauge, buttonFace(FaceBitmap)};

MouseArea mouseAreas[] = {region({}, HelpId), commandSpot(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition compassToggleGauge =
    gaugeHeader("Compass_Toggle", ButtonSize, elements.roots(), mouseAreas, commandButtonSetUp);
