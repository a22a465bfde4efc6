#include "panel/toggle_commands.h"

#include <cstring>

#include "framework/find_parameter.h"
#include "framework/host_services.h"
#include "framework/whole_number.h"

namespace {

constexpr uint32_t PanelToggleEvent = 66506;  // 0x103CA
constexpr uint32_t PanelOpenEvent = 66507;    // 0x103CB
constexpr uint32_t PanelCloseEvent = 66508;   // 0x103CC
constexpr uint32_t ViewNextEvent = 65734;     // 0x100C6
constexpr uint32_t ViewPreviousEvent = 65735; // 0x100C7
constexpr uint32_t ViewModeEvent = 65875;     // 0x10153: normal / landing view

constexpr uint32_t MainPanelWindow = 0;
constexpr int32_t NoWindow = -1;
constexpr uint32_t NoHelp = 0;
constexpr uint32_t FirstHostHelpId = 40960;

// A click steps the view at most this many times. The host's view cycle is a
// handful of views long, so no panel needs more in one click; a larger
// number is a slip of the panel's author, and taken literally ("p99999999")
// it would flood the host with key events and stall the panel thread.
constexpr int32_t MaxViewStepsPerClick = 16;

// The b command chooses among the faces of the seven command buttons.
constexpr int32_t FirstButtonFace = 100;
constexpr int32_t LastButtonFace = 160;
constexpr int32_t ButtonFaceStep = 10;

struct Named {
    const char* name;
    uint32_t number;
};

// Tried in this order, each as a prefix of the text.
constexpr Named PanelWindows[] = {
    {"MAIN_PANEL", 0},           {"RADIO_STACK_PANEL", 50}, {"COMPASS_PANEL", 75},   {"ANNUNCIATOR_PANEL", 125},
    {"ANNUNCIATOR2_PANEL", 150}, {"COLLECTIVE_PANEL", 200}, {"THROTTLE_PANEL", 10},  {"MINI_CONTROLS_PANEL", 100},
    {"IFR_MAIN_PANEL", 175},     {"GPS_PANEL", 225},        {"OVERHEAD_PANEL", 250},
};

constexpr Named TooltipNames[] = {
    {"TOGGLE_RADIO_WINDOW", 43910},   {"TOGGLE_GPS_WINDOW", 43911},  {"TOGGLE_THROTTLE_WINDOW", 43912},
    {"TOGGLE_COMPASS_WINDOW", 43913}, {"TOGGLE_FUEL_WINDOW", 43914}, {"TOGGLE_COLLECTIVE_WINDOW", 43915},
};

template <size_t N>
const Named* namedPrefixOf(const char* text, const Named (&table)[N])
{
    for (const Named& entry : table)
        if (std::strncmp(text, entry.name, std::strlen(entry.name)) == 0)
            return &entry;
    return nullptr;
}

bool hasText(const char* text) { return text && *text; }

// Sends `keyEvent` for the window named after every occurrence of `letter`
// in text. Each search starts just after the previous match, so a comment
// marker ends the scan for everything behind it; the position moves on at
// every match, so the scan ends at the text's end at the latest.
void sendForEveryWindow(const char* text, const char* letter, uint32_t keyEvent)
{
    for (const char* found = findParameter(text, letter); found; found = findParameter(found + 1, letter)) {
        const int32_t window = panelWindowId(found + 1);
        if (window >= 0)
            triggerKeyEvent(keyEvent, static_cast<uint32_t>(window));
    }
}

void stepView(int32_t n)
{
    if (n == 0) {
        triggerKeyEvent(ViewModeEvent, 0);
        return;
    }
    const uint32_t event = n > 0 ? ViewNextEvent : ViewPreviousEvent;
    for (int32_t i = viewStepsPerClick(n); i > 0; --i)
        triggerKeyEvent(event, 0);
}

// b and h: the face and the help of the button. A face outside the seven
// buttons' set leaves the appearance alone altogether, help included.
void applyAppearance(GaugeDefinition& gauge, const char* text)
{
    if (const char* b = findParameter(text, "b")) {
        const int32_t face = leadingWholeNumber(b + 1);
        GaugeElement* root = gauge.elements ? gauge.elements[0] : nullptr;
        if (!root || face % ButtonFaceStep != 0 || face < FirstButtonFace || face > LastButtonFace)
            return;
        root->bitmap = face;
    }
    if (const char* h = findParameter(text, "h"))
        if (gauge.mouseAreas)
            gauge.mouseAreas[0].helpId = tooltipId(h + 1);
}

}  // namespace

int32_t panelWindowId(const char* text)
{
    if (!hasText(text))
        return NoWindow;
    if (const Named* window = namedPrefixOf(text, PanelWindows))
        return static_cast<int32_t>(window->number);
    return leadingWholeNumber(text);
}

uint32_t tooltipId(const char* text)
{
    if (!hasText(text))
        return NoHelp;
    if (const Named* tooltip = namedPrefixOf(text, TooltipNames))
        return tooltip->number;
    const int32_t n = leadingWholeNumber(text);
    return n >= static_cast<int32_t>(FirstHostHelpId) ? static_cast<uint32_t>(n) : NoHelp;
}

int32_t viewStepsPerClick(int32_t n)
{
    // Compared before negating, so that the most negative number has no
    // positive counterpart to overflow into.
    if (n >= MaxViewStepsPerClick || n <= -MaxViewStepsPerClick)
        return MaxViewStepsPerClick;
    return n < 0 ? -n : n;
}

void VARDEX_HOSTAPI commandButtonSetUp(GaugeDefinition* gauge, int32_t serviceCode, uint32_t)
{
    if (!gauge || serviceCode != ServiceInstall)
        return;
    const char* text = gauge->parameter;
    if (hasText(text))
        applyAppearance(*gauge, text);
    if (gauge->userData == 0) {
        if (const char* a = hasText(text) ? findParameter(text, "a") : nullptr) {
            const int32_t window = panelWindowId(a + 1);
            if (window >= 0)
                triggerKeyEvent(PanelCloseEvent, static_cast<uint32_t>(window));
        }
        gauge->userData = 1;
    }
}

int32_t VARDEX_HOSTAPI commandButtonClick(ClickRecord* click, uint32_t)
{
    const GaugeDefinition* gauge = click ? click->gauge : nullptr;
    const char* text = gauge ? gauge->parameter : nullptr;
    if (!hasText(text)) {
        togglePanelWindow(MainPanelWindow);
        return 0;
    }
    sendForEveryWindow(text, "o", PanelOpenEvent);
    sendForEveryWindow(text, "c", PanelCloseEvent);
    sendForEveryWindow(text, "t", PanelToggleEvent);
    if (const char* p = findParameter(text, "p"))
        stepView(leadingWholeNumber(p + 1));
    return 0;
}
