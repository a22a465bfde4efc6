// The readable form of a probe: one line per gauge saying what it shows,
// then the events since the last report.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/core/probe.h"

namespace CLI {
class App;
}

namespace devhost {

// Which events a report tells: all, none, or those named.
struct EventFilter {
    bool none = false;
    std::vector<uint32_t> only;   // key event ids; empty: all
    bool windowToggles = true;    // panel-window toggles (host service 35)

    bool shows(const EventRecord& event) const;
};

// "COM_RADIO_FRACT_INC,ADF_IDENT_OFF" (names or numbers; "WINDOW_TOGGLE"
// for the host's panel-window toggles). Throws std::invalid_argument naming
// a name it does not know, with the closest ones.
EventFilter parseEventFilter(std::string_view list);

// What the reports print, from --records, --events and --no-events.
struct ReportOptions {
    bool records = false;         // the drawing records as well as the readings
    std::string events;           // "NAME,..." to tell only those
    bool noEvents = false;

    EventFilter filter() const;   // throws std::invalid_argument
};

void addReportOptions(CLI::App& command, ReportOptions& options);

// The probe with the events since mark that the filter lets through, and
// each gauge's readings.
Snapshot probeForReport(Host& host, EventMark& mark, const EventFilter& filter);

// The gauge's readings; its drawing records too when asked (or when it has
// no reading).
std::string describeGauge(const GaugeSnapshot& gauge, const ReportOptions& options = {});

// The events one line each; a run of one event over consecutive frames
// (even between others, as two events that alternate) is one line.
std::string describeEvents(std::span<const EventRecord> events, const EventFilter& filter = {});

// The panel's windows on one line: number or virtual cockpit name, title,
// size, hidden; "" for a panel without windows.
std::string describeWindows(const Panel& panel);

// Every gauge, one line each, and the snapshot's events.
std::string describePanel(const Snapshot& snapshot, const ReportOptions& options = {});

}  // namespace devhost
