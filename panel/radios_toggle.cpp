// Radios_Toggle: the radio-stack button, one of the seven command buttons.
// What a click does is written in the parameter text of the placed button
// (panel/toggle_commands.h); this file gives its face and its help.
#include "framework/gauge_list.h"
#include "panel/toggle_commands.h"

namespace {

constexpr int32_t FaceBitmap = 120;
constexpr uint32_t HelpId = 43910;

constinit ElementChain elements{&radiosToggleGauge, buttonFace(FaceBitmap)};

MouseArea mouseAreas[] = {region({}, HelpId), commandSpot(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition radiosToggleGauge =
    gaugeHeader("Radios_Toggle", ButtonSize, elements.roots(), mouseAreas, commandButtonSetUp);
