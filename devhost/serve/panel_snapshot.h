// What the live panel shows at one moment, taken while the panel's lock is
// held and read after it is let go: the playback, the variables, the new
// key events, the windows shown, the readings when asked, and copies of
// the pieces of pictures that changed. Turning it into the feed's message
// (what changed since a page was last told, the PNGs) needs no lock, so
// clicks and hovers never wait behind encoding.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devhost/core/probe.h"
#include "devhost/render/cairo_handles.h"
#include "framework/gauge_model.h"

namespace devhost {

struct TilePiece {
    size_t gauge = 0;
    Box area;               // in its window's picture
    SurfaceHandle pixels;   // a copy of that area
};

struct PanelSnapshot {
    bool whole = false;     // everything a page starting afresh needs
    uint64_t frame = 0;
    uint64_t layout = 0;    // the layout's edits so far: a page laid out for another lays itself out again
    struct Playback {
        bool playing = false;
        double speed = 1, time = 0, duration = 0;
        std::string name;
        std::string error;  // why the flight stopped, when it failed
    } playback;
    struct Recording {
        bool on = false;
        std::string stopped;  // why it stopped by itself (its cap), else empty
    } recording;
    double light = 1;
    std::vector<double> variables;   // per variable of the catalogue, in its order
    std::vector<EventRecord> events;
    size_t eventsSkipped = 0;
    std::vector<std::pair<int, bool>> windows;   // window number, shown
    std::optional<std::vector<std::vector<std::string>>> readings;   // per gauge, when taken
    std::vector<TilePiece> tiles;
    std::vector<std::pair<int, SurfaceHandle>> backings;   // whole only: window number, its ground
    std::vector<uint32_t> sounds;   // wave clips the switches played during the tick
};

// A copy of an area of an image surface.
SurfaceHandle copyArea(cairo_surface_t* picture, Box area);

}  // namespace devhost
