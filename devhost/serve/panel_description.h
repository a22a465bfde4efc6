// The panel as the page lays it out: windows, gauges and their tiles,
// variables with their sliders, the bounds of playback and recording.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>

#include "devhost/serve/panel_session.h"

namespace devhost {

nlohmann::json describePanel(const Panel& panel, const PanelSession& session, uint64_t layoutGeneration);

}  // namespace devhost
