// Map_Toggle: a button on which the host shows or hides the map.
//
// The host sends the key event itself when the spot is clicked; the module
// has no code for this button.
//
// Host variables read: none. Key events sent (by the host): 66432 (0x10380).
// State owned: none.
#include "framework/gauge_list.h"
#include "panel/toggle_commands.h"

namespace {

constexpr int32_t FaceBitmap = 70;  // the one smaller face
constexpr uint32_t HelpId = 43919;
constexpr uint32_t ClickEvent = 66432;  // 0x10380

constinit ElementChain elements{&mapToggleGauge, buttonFace(FaceBitmap)};

MouseArea mouseAreas[] = {region({}, HelpId), keyEventSpot(ClickEvent), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition mapToggleGauge = gaugeHeader("Map_Toggle", ButtonSize, elements.roots(), mouseAreas);
