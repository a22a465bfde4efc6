// Kneeboard_Toggle: a button on which the host shows or hides the kneeboard.
//
// The host sends the key event itself when the spot is clicked; the module
// has no code for this button.
//
// Host variables read: none. Key events sent (by the host): 65876 (0x10154).
// State owned: none.
#include "framework/gauge_list.h"
#include "panel/toggle_commands.h"

namespace {

constexpr int32_t FaceBitmap = 60;
constexpr uint32_t HelpId = 43923;
constexpr uint32_t ClickEvent = 65876;  // 0x10154

constinit ElementChain elements{&kneeboardToggleGauge, buttonFace(FaceBitmap)};

MouseArea mouseAreas[] = {region({}, HelpId), keyEventSpot(ClickEvent), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition kneeboardToggleGauge = gaugeHeader("Kneeboard_Toggle", ButtonSize, elements.roots(), mouseAreas);
