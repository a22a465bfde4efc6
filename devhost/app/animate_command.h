// `devhost render --from T0 --to T1 --every DT`: a panel window or one
// gauge through a stretch of a flight, drawn in one run of the flight into
// an animated WebP or a folder of PNGs.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>

#include "devhost/app/render_command.h"
#include "devhost/flight/flight.h"

namespace devhost {

// Plays the flight on from where the runner stands, hands each picture that
// draw() makes at the times asked to the output, and completes it.
void animateFlight(FlightRunner& runner, const Flight& flight, const RenderOptions& options,
                   const std::function<cairo_surface_t*()>& draw);

}  // namespace devhost
