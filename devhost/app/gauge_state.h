// The state a command shows a gauge or a panel in, built the same way for
// `render`, `click` and `hover`: the panel placed, a flight played to a
// moment, variables set, clicks made in order, frames run.
#pragma once

#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devhost/core/host.h"

namespace devhost {

struct StateOptions {
    std::string module;
    std::string panel;                  // empty: the built-in panel
    std::string flight;                 // empty: the demo flight when a time is given, else none
    std::optional<double> at;           // seconds into the flight
    std::string gauge;                  // empty: the whole panel
    std::string parameter;              // set: the gauge placed alone with this parameter text
    std::vector<std::string> settings;  // "airspeed=250kmh", "61=250", "com1_freq=122.80"
    std::vector<std::string> clicks;    // "X,Y" or "X,Y,right", gauge pixels, in order
    std::optional<int> frames;          // frames run last; see addStateOptions for the default
    int screenWidth = PanelScreenWidth; // chooses the panel's file_NNNN= backgrounds
    bool lenient = false;               // a flight passes over actions on gauges the panel lacks
    std::string jsbsim;                 // the flight model's program (--jsbsim)
};

struct BuiltState {
    std::unique_ptr<Host> host;
    GaugeInstance* gauge = nullptr;     // the gauge asked for, null for the whole panel
    std::vector<std::string> clicks;    // what each --click did, in order
};

// The most frames a command runs: the longest flight at the host's rate.
double maxFrames();

// A number option's range, checked on the text as given, before CLI11
// converts it: "-1" must not wrap into a vast frame count, nor "nan" slip
// past every comparison. The error names the value and the range.
CLI::Validator within(double low, double high, bool whole = true);

// Places the panel's gauges, telling on stderr what it passes over and,
// once each, the other modules' gauges drawn as placeholders.
void placePanelReporting(Host& host, const Panel& panel);

// --screen-width (and --panel's reading of it) and --lenient.
void addPanelReadingOptions(CLI::App& command, int& screenWidth);
void addLenientOption(CLI::App& command, bool& lenient);
// The panel options.panel names with the screen width given, or the built-in one.
Panel choosePanel(const std::string& path, int screenWidth);

// Adds --panel, --flight, the time option (timeOption: "--at" or "--time"),
// --set, --click (with a gauge only), --param and --frames.
void addStateOptions(CLI::App& command, StateOptions& options, const std::string& timeOption, bool withGauge);

// Throws std::runtime_error (and the panel's, flight's and host's errors)
// naming the option and value at fault. Without --frames, one second runs
// last, so that settings and clicks show and needles that turn at a limited
// rate arrive; after a flight alone, none (the flight at that moment).
// panel: the panel options.panel names (or the built-in one) when the
// caller has read it already.
BuiltState buildState(const StateOptions& options, const Panel* panel = nullptr);

// "218,250" or "218,250,right" in gauge pixels.
struct ClickPoint {
    Point at;
    bool right = false;
};
ClickPoint parseClickPoint(const std::string& text, const std::string& option);

// "left click at (218,250): area 3 sends key event 66435 COM_RADIO_FRACT_INC"
std::string describeClick(const ClickResult& result, const ClickPoint& click);

}  // namespace devhost
