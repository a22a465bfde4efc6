// The probe as JSON: what `devhost run --json` prints and what a browser
// front end can read.
#pragma once

#include <nlohmann/json.hpp>

#include "devhost/core/probe.h"
#include "devhost/core/variables.h"
#include "devhost/flight/flight.h"

namespace devhost {

// As `devhost vars --json` lists it, its fields in that order.
nlohmann::ordered_json toJson(const VariableInfo& variable);
nlohmann::json toJson(const ElementSnapshot& element);
nlohmann::json toJson(const GaugeSnapshot& gauge);
nlohmann::json toJson(const EventRecord& event);
nlohmann::json toJson(const Snapshot& snapshot);
nlohmann::json toJson(const FlightLogEntry& entry);

}  // namespace devhost
