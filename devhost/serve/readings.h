// What a gauge reads, in words, for the page's readings panel.
#pragma once

#include <string>
#include <vector>

#include "devhost/core/host.h"

namespace devhost {

std::vector<std::string> gaugeReadings(Host& host, GaugeInstance& gauge);

}  // namespace devhost
