// What the user does on the live panel, recorded as a flight script over
// the flight it was made over, so that `devhost run --flight` replays it:
// clicks as actions, settings as variable keyframes, what a gauge shows as
// checkpoints, all timed on the flight's clock. The writer's half of the
// flight-script format (the reader is flight.cpp; the keys are flight_keys.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "devhost/core/values.h"

namespace devhost {

class Host;

// A recording keeps at most this many actions and settings, and this many
// bytes of script; at either it stops, keeping what it has.
inline constexpr size_t MaxRecordedEntries = 20000;
inline constexpr size_t MaxRecordingBytes = 2 * 1024 * 1024;

class FlightRecorder {
public:
    bool on() const { return on_; }
    // Why the recording stopped by itself; empty if it did not.
    const std::string& stopped() const { return stopped_; }

    // Starts afresh at the flight's time `now`, dropping what was recorded.
    void begin(double now);
    void end(double now);

    // While recording (else nothing): a click that hit, a setting, and the
    // flight's time reached.
    void click(double time, std::string_view gauge, int32_t x, int32_t y, bool right);
    void setting(double time, const VariableValue& value);
    void reach(double time);

    // While recording: checkpoints at `time` expecting what the gauge shows
    // now, one per reading (a script's "expect" names each gauge once).
    struct Shown {
        size_t added = 0, unreadable = 0;
    };
    Shown expectShown(Host& host, const std::string& gauge, double time);

    // The script so far over `flight` (the demo flight's name or a script),
    // lasting to the frame after the last thing done.
    std::string script(const nlohmann::json& flight, double now, double framesPerSecond);

private:
    // False (and recording stopped) when the entry would pass the cap.
    bool take(const nlohmann::json& entry);

    bool on_ = false;
    double start_ = 0;   // flight time when recording began
    double last_ = 0;
    nlohmann::json actions_ = nlohmann::json::array();
    nlohmann::json checkpoints_ = nlohmann::json::array();
    std::map<std::string, nlohmann::json> variables_;
    size_t entries_ = 0, bytes_ = 0;
    std::string stopped_;
};

}  // namespace devhost
