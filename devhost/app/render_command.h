// `devhost render`: a PNG of a panel window at a moment of a flight, or of
// one gauge alone at its own size in a state given on the command line; by
// day, at night or in between; or either through a stretch of the flight
// (animate_command.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace devhost {

struct RenderOptions {
    std::string module;
    std::string panel;                 // empty: the built-in panel
    std::string flight;                // empty: the demo flight
    double at = 0;                     // seconds into the flight
    int window = 0;                    // panel window number
    std::string gauge;                 // set: one gauge alone
    std::string parameter;             // its parameter text
    std::vector<std::string> settings; // "name=value" or "61=value"; values may be hex ("0x1802")
    int frames = 18;                   // frames run after the settings (one gauge)
    std::string output;
    double light = 1.0;                // 1 daylight, 0 night (the panel's lights on)
    std::optional<double> from, to;    // set either: an animation (to: the flight's end)
    std::optional<double> every;       // flight seconds between its pictures (1)
    std::optional<double> speed;       // flight seconds per second shown (1)
    bool animated() const { return from || to; }
};

// Writes the picture; throws (InputError, HostError, std::runtime_error)
// with a message naming what is wrong.
void renderToPng(const RenderOptions& options);

}  // namespace devhost
