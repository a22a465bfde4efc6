// The host and what runs and draws it for the live panel; made anew when a
// flight is loaded or sought. The host and the flight's run up to the
// moment are made without the panel's lock (a seek far into a long flight
// replays it all); the drawing is laid under it.
#pragma once

#include <cairo.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/flight/flight.h"
#include "devhost/render/panel_renderer.h"

namespace devhost {

// The identifier by which key events and the panel buttons name a window.
uint32_t identOf(const PanelWindowSpec& window);

struct PanelSession {
    std::unique_ptr<Host> host;
    std::unique_ptr<FlightRunner> runner;
    std::unique_ptr<PanelRenderer> renderer;
    std::vector<cairo_surface_t*> pictures;   // per window of the panel, as last drawn
    std::vector<Box> tiles;                   // per gauge: its rectangle within its window's picture
    std::vector<size_t> windowOf;             // per gauge: the index of its window in the panel

    // A fresh host of the module with the panel placed and the flight ready
    // to run; a FlightError when the flight names a gauge the panel lacks
    // (played, the click would fail).
    static std::unique_ptr<PanelSession> open(const std::string& module, const Panel& panel, const Flight& flight);

    // The flight played up to the moment; a failure there is the request's
    // fault (its flight or its moment): RequestError 422.
    void runTo(double at);
    // The drawing set up for the host's gauges as placed now.
    void lay(const Panel& panel, const Lighting& lighting);
    // Every window's picture as the host shows it now.
    void drawWindows(const Panel& panel);

    // The gauge a request names ("gauge": index or name); RequestError 404 if none.
    GaugeInstance& gaugeOf(const nlohmann::json& body) const;
};

}  // namespace devhost
