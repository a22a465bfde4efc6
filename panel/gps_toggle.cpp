// GPS_Toggle: the GPS-window button, one of the seven command buttons. What a
// click does is written in the parameter text of the placed button
// (panel/toggle_commands.h); this file gives its face and its help.
#include "framework/gauge_list.h"
#include "panel/toggle_commands.h"

namespace {

constexpr int32_t FaceBitmap = 140;
constexpr uint32_t HelpId = 43911;

constinit ElementChain elements{&gpsToggleGauge, buttonFace(FaceBitmap)};

MouseArea mouseAreas[] = {region({}, HelpId), commandSpot(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition gpsToggleGauge =
    gaugeHeader("GPS_Toggle", ButtonSize, elements.roots(), mouseAreas, commandButtonSetUp);
