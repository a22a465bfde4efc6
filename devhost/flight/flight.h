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
//     "checkpoints": [{"at": 60, "label": "Cruise",
//                      "expect": {"Airspeed": "450 km/h ±5", "com1_freq": "122.80"}}]
//   }
//
// A checkpoint's "expect" says what gauges show, in the words of their
// readings, or what variables hold, at that moment; `devhost run` checks it
// (expectations.h) and fails when it does not hold. Within one moment the
// actions come first, then the frame that shows them, then the checkpoint:
// a click and an expectation recorded paused at one moment check the click.
//
//   "expect": {
//     "Airspeed": "450 km/h ±5",                   // a reading with that unit, within 5 km/h
//     "Radio_COM_SK10": "122.800 MHz",             // exactly as shown
//     "Landing_Indicator": {"localiser": "0 ±0.2 dots", "glide path": "1 dots down ±0.5"},
//     "Artificial_Horizon": {"bank": "25 ° right ±2", "gyro": "free"},
//     "Radio_XPDR_FUG25A6": "code 7700",           // words: a reading that says them
//     "com1_freq": "122.80",                       // a variable, in any form --set takes
//     "airspeed": "250kmh ±2"
//   }
//
// A gauge's expectation is checked against its readings in words (what
// `devhost run` prints): a number with a unit is compared with the number
// the first reading shows in that unit; with a label (the object form),
// only the readings that begin with the label are looked at; a number
// without a unit is compared with the first number of such a reading.
// "left" and "down" after the number count it negative, "right" and "up"
// positive, as the readings say them. The tolerance follows "±" (or "+-")
// in the same unit; without one the number must be shown exactly. Words
// without a number must appear in a reading, case aside.
//
// A flight may fly on the flight model (devhost/model): "model" names the
// JSBSim script whose aircraft gives the flight its state, and the scenery
// its radios receive, both from the flight file's folder:
//
//   "model": {"script": "../fdm/scripts/takeoff.xml", "scenery": "../fdm/scenery/wendmoor.json"}
//
// The model's values are set first each frame; the script's own keyframes
// then set theirs, so that a keyframe may stand in for any of them.
//
// A recording made in `devhost serve` adds "flight" (the flight it was made
// over: "<demo>", a script's path or the script itself) and "start" (the
// moment of that flight it began at); its own keyframes and actions are
// played on top of that flight's.
//
// Double variables are interpolated linearly between keyframes, and set
// every frame; before its first keyframe a variable is left alone, after
// its last it keeps the last value. Integer variables (frequencies, codes,
// switch registers: what the panel's events change too) are set to a
// keyframe's value when it is reached and held only until the panel
// changes them, so that a click on a knob is not undone. Click and
// hover positions are in the gauge's own pixels, as its mouse areas are.
// Comments (// and /* */) are allowed; a key given twice in one object is
// told as a warning (the last is kept), and a NUL byte is refused.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/core/input_error.h"
#include "devhost/flight/expectations.h"

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
    size_t keysReachedBy(double time) const;   // keyframes at or before that time
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
    std::vector<Expectation> expect;  // checked when the run reaches the checkpoint
};

struct FlightWarning {
    int line = 0;
    std::string message;
};

// The flight model a flight flies on (paths resolved from the flight's folder).
struct FlightModelSpec {
    std::string script;               // a JSBSim script
    std::string scenery;              // empty: no stations, the radios receive nothing
    int line = 0;
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
    std::vector<FlightWarning> warnings;   // what was read but looks unmeant (a key given twice)
    std::optional<FlightModelSpec> model;
};

// What gives a modelled flight its state: asked once per frame, before the
// script's keyframes, to set the host's variables for that moment of the
// flight. Frames come at rising times. Throws (InputError, runtime_error)
// naming the model's fault.
class AircraftModel {
public:
    virtual ~AircraftModel() = default;
    virtual void advanceTo(double seconds, VariableStore& variables) = 0;
};

// A flight script that cannot be read or played.
class FlightError : public InputError {
public:
    using InputError::InputError;
};

Flight parseFlight(std::string_view text, std::string_view fileName);
Flight loadFlight(const std::string& path);   // FlightError (line 0) when unreadable

inline constexpr std::string_view DemoFlightSource = "<demo>";   // the demo flight's source
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
    // The gauges a flight's actions name must be placed on host by then,
    // unless lenient: then an action on a gauge the panel does not place is
    // passed over, with one note in the log per gauge. The built-in demo
    // flight is always lenient, so that it runs on any panel.
    //
    // A flight with a "model" needs the model (see app/flight_model.h): a
    // runner without one refuses it, as a command that cannot fly it.
    FlightRunner(Host& host, const Flight& flight, bool lenient = false, std::unique_ptr<AircraftModel> model = nullptr);

    // One frame: variables set for the current time, due actions done, then
    // the host's frame. Throws FlightError for an action on a gauge that is
    // not on the panel (when not lenient).
    void step();
    void run(uint64_t frames);
    void runFor(double seconds);

    double time() const;              // flight time of the next frame
    bool finished() const { return time() >= flight_.duration; }
    uint64_t framesFor(double seconds) const;
    // The frames run before the panel is shown at that moment: at least
    // one, so that every gauge has drawn something.
    uint64_t framesBefore(double seconds) const;
    // The frames run through the frame of that moment, which does the
    // actions due at it: what is checked at that moment follows them.
    uint64_t framesThrough(double seconds) const;
    const std::vector<FlightLogEntry>& log() const { return log_; }
    // Whether a check is passed over rather than failed, as actions on
    // gauges the panel does not place are (a lenient run): a check of such
    // a gauge; or a check of what such a gauge changes besides itself,
    // once the run has passed over an action it would have taken (a
    // click on it, a notice to it or to every gauge): the radios and what
    // reads their switches after Shut_Down's notice, the units a
    // Metric_Switch click sets, the variables a click's events set.
    enum class PassOver { No, GaugeNotPlaced, DependsOnPassedOver };
    PassOver passOver(const Expectation& expectation) const;

private:
    void perform(const FlightAction& action);

    Host& host_;
    Flight flight_;
    std::unique_ptr<AircraftModel> model_;
    bool lenient_ = false;
    std::vector<std::string> absent_;   // gauges whose actions were passed over
    std::vector<std::string> missed_;   // gauges not placed whose clicks or notices were passed over
    // What each stepped track last set, and whether it still holds it (see step()).
    struct HeldValue {
        size_t keysReached = 0;
        bool holding = false;
        uint32_t value = 0;
    };
    std::vector<HeldValue> held_;       // one per track
    uint64_t frames_ = 0;
    size_t nextAction_ = 0;
    std::vector<FlightLogEntry> log_;
};

}  // namespace devhost
