// `devhost render`: a PNG of a panel window at a moment of a flight, or of
// one gauge alone at its own size, in a state given on the command line.
#pragma once

#include <string>

#include "devhost/app/gauge_state.h"

namespace devhost {

struct RenderOptions : StateOptions {
    int window = 0;                    // panel window number (the whole panel only)
    std::string output;
};

// Writes the picture; throws (InputError, HostError, std::runtime_error)
// with a message naming what is wrong.
void renderToPng(const RenderOptions& options);

}  // namespace devhost
