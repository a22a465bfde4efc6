// Flight scripts: keyframes of host variables over time and timed actions
// on the panel (clicks, hovers, notices, removals), read from JSON, and the
// runner that plays one against a Host frame by frame.
//
//   {
//     "name": "Circuit",
//     "duration": 120,
//     "variables": {
//       "airspeed": [[0, 0], [30, 160]],       // by script name or host number ("61")
//       "com1_freq": [[0, "0x1820"]]           // integer variables: numbers or hex text
//     },
//     "actions": [
//       {"at": 5, "click": "Radio_COM_SK10", "x": 45, "y": 46, "button": "left"},
//       {"at": 6, "hover": "Radio_COM_SK10", "x": 150, "y": 40},
//       {"at": 7, "notice": 14, "gauge": "Shut_Down", "extra": 0},   // no gauge: every gauge
//       {"at": 8, "remove": "Gunsight"}
//     ],
//     "checkpoints": [{"at": 60, "label": "Cruise"}]
//   }
//
// A recording made in `devhost serve` adds "flight" (the flight it was made
// over: "<demo>", a script's path or the script itself) and "start" (the
// moment of that flight it began at); its own keyframes and actions are
// played on top of that flight's.
//
// Double variables are interpolated linearly between keyframes, integer
// variables step to each keyframe's value; before its first keyframe a
// variable is left alone, after its last it keeps the last value. Click and
// hover positions are in the gauge's own pixels, as its mouse areas are.
// Comments (// and /* */) are allowed.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/core/input_error.h"

namespace devhost {

// The longest flight played: ten days, ten times the longest soak run. A
// time beyond it in a script or on the command line is a typo (1e15 s
// would run for ever), and refused.
inline constexpr double MaxFlightSeconds = 10 * 86400.0;

struct Keyframe {
    double time = 0;
    double value = 0;
};

struct VariableTrack {
    uint32_t id = 0;
    std::string name;                 // as the script wrote it
    bool integer = false;             // stepped, not interpolated
    std::vector<Keyframe> keys;       // ascending in time
    int line = 0;

    std::optional<double> valueAt(double time) const;
};

enum class ActionKind { Click, Hover, Notice, Remove };

struct FlightAction {
    double time = 0;
    ActionKind kind = ActionKind::Click;
    std::string gauge;                // empty for a notice to every gauge
    int x = 0, y = 0;                 // gauge pixels (click, hover)
    bool right = false;               // click with the right button
    int32_t code = 0;                 // notice
    uint32_t extra = 0;               // notice
    int line = 0;
};

struct Checkpoint {
    double time = 0;
    std::string label;
};

struct Flight {
    std::string source;               // file name, or "<demo>"
    std::string name;
    double duration = 0;              // seconds
    bool durationGiven = false;       // false: one second past the last thing the script does
    double start = 0;                 // a recording: the moment of the flight it began at
    std::vector<VariableTrack> tracks;
    std::vector<FlightAction> actions;     // in time order (stable for equal times)
    std::vector<Checkpoint> checkpoints;   // in time order
};

// A flight script that cannot be read or played.
class FlightError : public InputError {
public:
    using InputError::InputError;
};

Flight parseFlight(std::string_view text, std::string_view fileName);
Flight loadFlight(const std::string& path);   // FlightError (line 0) when unreadable

std::string_view demoFlightText();            // the text of examples/demo_flight.json
Flight demoFlight();

// What the runner did besides frames: clicks with their outcome, hovers with
// the tooltip shown, notices and removals.
struct FlightLogEntry {
    uint64_t frame = 0;
    double time = 0;
    std::string what;
};

class FlightRunner {
public:
    // The gauges a flight's actions name must be placed on host by then.
    FlightRunner(Host& host, const Flight& flight);

    // One frame: variables set for the current time, due actions done, then
    // the host's frame. Throws FlightError for an action on a gauge that is
    // not on the panel.
    void step();
    void run(uint64_t frames);
    void runFor(double seconds);

    double time() const;              // flight time of the next frame
    bool finished() const { return time() >= flight_.duration; }
    uint64_t framesFor(double seconds) const;
    // The frames run before the panel is shown at that moment: at least
    // one, so that every gauge has drawn something.
    uint64_t framesBefore(double seconds) const;
    const std::vector<FlightLogEntry>& log() const { return log_; }

private:
    void perform(const FlightAction& action);

    Host& host_;
    Flight flight_;
    uint64_t frames_ = 0;
    size_t nextAction_ = 0;
    std::vector<FlightLogEntry> log_;
};

}  // namespace devhost
