// Key events: applied to the simulation as the real radios and systems
// would, and logged in order with their values.
#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "devhost/core/variables.h"

namespace devhost {

struct KeyEventInfo {
    uint32_t id;
    std::string_view name;  // e.g. "COM_RADIO_FRACT_INC"
};

std::span<const KeyEventInfo> knownKeyEvents();
const KeyEventInfo* findKeyEvent(uint32_t id);

struct LoggedEvent {
    uint32_t id;
    uint32_t value;
    bool known;
};

// Panel windows and views, as far as the key events and host service 35
// change them.
struct WindowState {
    std::map<uint32_t, bool> visible;  // panel-window identifier -> shown
    int viewStep = 0;                  // net view steps (+ next, - previous)
    bool landingView = false;          // toggled by the "normal/landing view" key
    int kneeboardToggles = 0, atcToggles = 0, mapToggles = 0;
};

class KeyEventEngine {
public:
    KeyEventEngine(VariableStore& variables, WindowState& windows);

    // Logs the event, then applies it. Unknown ids are logged, never fatal.
    void apply(uint32_t id, uint32_t value);

    // Host service 35: toggles a panel window; recorded apart from the key
    // events, in windowToggles().
    void togglePanelWindow(uint32_t window);

    const std::vector<LoggedEvent>& log() const { return log_; }
    const std::vector<uint32_t>& windowToggles() const { return windowToggles_; }
    void clearLog();

private:
    VariableStore& variables_;
    WindowState& windows_;
    std::vector<LoggedEvent> log_;
    std::vector<uint32_t> windowToggles_;
};

}  // namespace devhost
