// The keys of a flight script, spelled once: the reader (flight.cpp) and
// the recorder (flight_recorder.cpp) both use these, so a script the
// recorder writes is one the reader takes.
#pragma once

namespace devhost::flight_keys {

// The script's own entries.
inline constexpr const char* Name = "name";
inline constexpr const char* Flight = "flight";   // the flight a recording was made over
inline constexpr const char* Start = "start";
inline constexpr const char* Duration = "duration";
inline constexpr const char* Variables = "variables";
inline constexpr const char* Actions = "actions";
inline constexpr const char* Checkpoints = "checkpoints";
inline constexpr const char* Model = "model";

// An action's and a checkpoint's entries.
inline constexpr const char* At = "at";
inline constexpr const char* Click = "click";
inline constexpr const char* Hover = "hover";
inline constexpr const char* Remove = "remove";
inline constexpr const char* Notice = "notice";
inline constexpr const char* Gauge = "gauge";
inline constexpr const char* X = "x";
inline constexpr const char* Y = "y";
inline constexpr const char* Button = "button";
inline constexpr const char* Extra = "extra";
inline constexpr const char* Label = "label";
inline constexpr const char* Expect = "expect";

// A button's names.
inline constexpr const char* Left = "left";
inline constexpr const char* Right = "right";

}  // namespace devhost::flight_keys
