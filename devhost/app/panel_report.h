// The readable form of a probe: one line per gauge saying what it shows,
// then the events since the last report.
#pragma once

#include <string>

#include "devhost/core/probe.h"

namespace devhost {

std::string describeGauge(const GaugeSnapshot& gauge);

// The events from eventsFrom on, one line each.
std::string describeEvents(const Snapshot& snapshot, size_t eventsFrom);

// Every gauge, one line each, and the events from eventsFrom on.
std::string describePanel(const Snapshot& snapshot, size_t eventsFrom);

}  // namespace devhost
