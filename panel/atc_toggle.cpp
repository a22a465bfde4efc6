// ATC_Toggle: a button on which the host shows or hides the ATC window.
//
// The host sends the key event itself when the spot is clicked; the module
// has no code for this button.
//
// Host variables read: none. Key events sent (by the host): 65564 (0x1001C).
// State owned: none.
#include "framework/gauge_list.h"
#include "panel/toggle_commands.h"

namespace {

constexpr int32_t FaceBitmap = 80;
constexpr uint32_t HelpId = 43924;
constexpr uint32_t ClickEvent = 65564;  // 0x1001C

constinit ElementChain elements{&atcToggleGauge, buttonFace(FaceBitmap)};

MouseArea mouseAreas[] = {region({}, HelpId), keyEventSpot(ClickEvent), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition atcToggleGauge = gaugeHeader("ATC_Toggle", ButtonSize, elements.roots(), mouseAreas);
