// Landing_View_Toggle: the landing-view button, one of the seven command
// buttons. What a click does is written in the parameter text of the placed
// button (panel/toggle_commands.h); this file gives its face and its help.
#include "framework/gauge_list.h"
#include "panel/toggle_commands.h"

namespace {

constexpr int32_t FaceBitmap = 130;

constinit ElementChain elements{&landingViewToggleGauge, buttonFace(FaceBitmap)};

MouseArea mouseAreas[] = {
    region(), textTooltip("Switch between Normal and Landing view"), commandSpot(), regionEnd(), listEnd(),
};

}  // namespace

GaugeDefinition landingViewToggleGauge =
    gaugeHeader("Landing_View_Toggle", ButtonSize, elements.roots(), mouseAreas, commandButtonSetUp);
