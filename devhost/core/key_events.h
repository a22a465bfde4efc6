// Key events: applied to the simulation as the real radios and systems
// would. The host keeps the one log of what was sent (Host::events()).
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string_view>
#include <vector>

#include "devhost/core/variables.h"

namespace devhost {

struct KeyEventInfo {
    uint32_t id;
    std::string_view name;    // e.g. "COM_RADIO_FRACT_INC"
    uint32_t variable;        // the host variable it changes, 0 for none
    std::string_view effect;  // what the development host does on it, for `devhost events`
};

std::span<const KeyEventInfo> knownKeyEvents();
const KeyEventInfo* findKeyEvent(uint32_t id);
const KeyEventInfo* findKeyEvent(std::string_view name);

// The host's event log keeps a run of one event as one entry with a count, and
// forget their oldest entries beyond this many: a gauge that sends an event
// every frame must not grow a long flight's memory without end.
inline constexpr size_t MaxEventLogEntries = 100000;

// Panel windows and views, as far as the key events and host service 35
// change them.
struct WindowState {
    std::map<uint32_t, bool> visible;  // panel-window identifier -> shown; a window not listed counts as hidden
    int viewStep = 0;                  // net view steps (+ next, - previous)
    bool landingView = false;          // toggled by the "normal/landing view" key
    int kneeboardToggles = 0, atcToggles = 0, mapToggles = 0;
};

// The identifier audio of the receivers, switched by their key events (the
// ADF's also shows as host variable 880).
struct IdentAudio {
    bool adf = false;
    bool nav1 = false;
    bool nav2 = false;
};

// How the development host's radios and systems answer the key events:
// - COM1 (var 23): 25-kHz fine steps and 1-MHz steps, carrying between the
//   two, over 118.000-136.975 MHz, wrapping at either end. The exact
//   frequency is kept in kHz; var 23 shows it truncated to 10 kHz (118.025
//   reads 0x1802). A var 23 changed from outside is taken as the channel it
//   names (a last digit 2 or 7 as x.x25 or x.x75).
// - NAV1 (var 24): 50-kHz and 1-MHz steps with carry over 108.00-117.95 MHz,
//   wrapping.
// - ADF (vars 16 and 18): 0.1-kHz and 1-kHz steps carrying through every digit
//   over 100.0-1799.9 kHz, wrapping (1799.9 + 0.1 gives 100.0); the set event
//   takes the frequency in BCD with the tenths as the last digit (0x4100 is
//   410.0 kHz, 0x12345 1234.5 kHz) and ignores a value that is not BCD or
//   lies outside the band.
// - Transponder (var 38): each digit steps 0-7 and wraps on its own.
// - Pressure setting (vars 75 and 76): 1-millibar steps within 930-1067 mb.
// - Heading bug (var 855) set to the value modulo 360; gyro caging (825) and
//   the NAV/GPS source (848) toggle between 0 and 1.
// - Panel windows open, close and toggle by identifier; view steps and the
//   three fixed buttons are counted in WindowState.
// A step applied to a variable that holds no valid BCD starts from the
// bottom of the band.
class KeyEventEngine {
public:
    KeyEventEngine(VariableStore& variables, WindowState& windows);

    // Applies the event; an unknown id changes nothing.
    void apply(uint32_t id, uint32_t value);

    // Host service 35: toggles a panel window.
    void togglePanelWindow(uint32_t window);

    const IdentAudio& identAudio() const { return identAudio_; }

    // The COM1 frequency in kHz as the radio holds it (finer than var 23).
    int com1Khz();

private:
    void stepCom(int khz);

    VariableStore& variables_;
    WindowState& windows_;
    IdentAudio identAudio_;
    int comKhz_ = 118000;
};

}  // namespace devhost
