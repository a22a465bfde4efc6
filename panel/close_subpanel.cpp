// Close_Subpanel: a button that closes subpanels, one of the seven command
// buttons. What a click does is written in the parameter text of the placed
// button (panel/toggle_commands.h); this file gives its face and its help.
#include "framework/gauge_list.h"
#include "panel/toggle_commands.h"

namespace {

constexpr int32_t FaceBitmap = 110;

constinit ElementChain elements{&closeSubpanelGauge, buttonFace(FaceBitmap)};

MouseArea mouseAreas[] = {region(), textTooltip("Close the subpanel"), commandSpot(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition closeSubpanelGauge =
    gaugeHeader("Close_Subpanel", ButtonSize, elements.roots(), mouseAreas, commandButtonSetUp);
