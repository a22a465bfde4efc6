#include "devhost/app/panel_report.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "devhost/core/gauge_notes.h"
#include "devhost/core/key_events.h"
#include "devhost/core/suggest.h"

namespace devhost {

namespace {

std::string shown(const ElementSnapshot& e)
{
    switch (e.kind) {
    case Needle: return fmt::format("needle {:.4g} ({:.1f}°)", e.value, e.angle);
    case Icon: return e.frame ? fmt::format("icon frame {}", *e.frame) : std::string("icon off");
    case String: return fmt::format("text \"{}\"", e.text);
    case Slider: return fmt::format("slider ({:.1f},{:.1f})", e.xOffset, e.yOffset);
    case MovingImage: return fmt::format("strip ({:.1f},{:.1f})", e.xOffset, e.yOffset);
    case Sprite:
        if (e.xOffset != 0 || e.yOffset != 0)
            return fmt::format("sprite {:.1f}° at ({:.1f},{:.1f})", e.rotation, e.xOffset, e.yOffset);
        return fmt::format("sprite {:.1f}°", e.rotation);
    case StaticImage: return "image";
    }
    return "?";
}

std::string describeEvent(const EventRecord& event)
{
    if (event.windowToggle)
        return fmt::format("panel window {} toggled", event.id);
    const KeyEventInfo* info = findKeyEvent(event.id);
    return fmt::format("key event {} {} value {}{}", event.id,
                       info ? std::string(info->name) : std::string("(unknown)"), event.value,
                       event.known ? "" : " — not a key event the host knows");
}

constexpr std::string_view WindowToggleName = "WINDOW_TOGGLE";

bool sameEvent(const EventRecord& a, const EventRecord& b)
{
    return a.id == b.id && a.value == b.value && a.windowToggle == b.windowToggle;
}

std::string records(const GaugeSnapshot& gauge)
{
    // Hidden elements are named as such; static images only when hidden.
    std::string line;
    for (const ElementSnapshot& e : gauge.elements) {
        if (e.kind == StaticImage && !e.hidden)
            continue;
        line += line.empty() ? "" : "; ";
        line += e.hidden ? fmt::format("[{} hidden]", e.index) : shown(e);
    }
    return line.empty() ? "(nothing moving)" : line;
}

}  // namespace

std::string describeGauge(const GaugeSnapshot& gauge, const ReportOptions& options)
{
    std::string line = fmt::format("{:<26}", gauge.name);
    std::string readings;
    for (const std::string& reading : gauge.readings)
        readings += (readings.empty() ? " " : " | ") + reading;
    line += readings;
    if (options.records || readings.empty())
        line += (readings.empty() ? " " : "\n  " + std::string(26, ' ') + " records: ") + records(gauge);
    return line;
}

EventFilter ReportOptions::filter() const
{
    if (noEvents)
        return EventFilter{.none = true};
    return events.empty() ? EventFilter{} : parseEventFilter(events);
}

void addReportOptions(CLI::App& command, ReportOptions& options)
{
    command.add_flag("--records", options.records,
                     "show each gauge's drawing records (needle angles, icon frames, offsets) too");
    auto* only = command.add_option("--events", options.events,
                                    "tell only these key events, e.g. COM_RADIO_FRACT_INC,ADF_IDENT_OFF "
                                    "(WINDOW_TOGGLE for panel windows; `devhost events` lists them)");
    command.add_flag("--no-events", options.noEvents, "tell no key events")->excludes(only);
}

Snapshot probeForReport(Host& host, EventMark& mark, const EventFilter& filter)
{
    Snapshot snapshot = host.probe(mark);
    std::erase_if(snapshot.events, [&](const EventRecord& e) { return !filter.shows(e); });
    for (size_t i = 0; i < snapshot.gauges.size(); ++i) {
        GaugeSnapshot& gauge = snapshot.gauges[i];
        gauge.readings = gaugeReadings(host, *host.gauges()[i], gauge);
    }
    return snapshot;
}

bool EventFilter::shows(const EventRecord& event) const
{
    if (none)
        return false;
    if (event.windowToggle)
        return windowToggles;
    return only.empty() || std::find(only.begin(), only.end(), event.id) != only.end();
}

EventFilter parseEventFilter(std::string_view list)
{
    EventFilter filter{.windowToggles = false};
    std::vector<std::string_view> names{WindowToggleName};
    for (const KeyEventInfo& e : knownKeyEvents())
        names.push_back(e.name);
    while (!list.empty()) {
        const size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        uint32_t id = 0;
        if (name == WindowToggleName)
            filter.windowToggles = true;
        else if (const KeyEventInfo* info = findKeyEvent(name))
            filter.only.push_back(info->id);
        else if (auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), id);
                 !name.empty() && error == std::errc() && end == name.data() + name.size())
            filter.only.push_back(id);
        else
            throw std::invalid_argument("--events: no key event named \"" + std::string(name) + "\"" +
                                        didYouMean(name, names) + "; `devhost events` lists them");
    }
    if (filter.only.empty() && !filter.windowToggles)
        throw std::invalid_argument("--events: name at least one key event, e.g. --events COM_RADIO_FRACT_INC");
    return filter;
}

// Some gauges hold host state every frame (the ADF's tone audio, for one),
// often two events in turn: each event's run of consecutive frames is told
// once, with its frames and count, in the order the runs began.
std::string describeEvents(std::span<const EventRecord> events, const EventFilter& filter)
{
    std::vector<EventRecord> runs;
    std::vector<size_t> open;  // runs still growing, by index
    for (const EventRecord& event : events) {
        if (!filter.shows(event))
            continue;
        auto run = std::find_if(open.begin(), open.end(), [&](size_t r) {
            return sameEvent(runs[r], event) && event.frame <= runs[r].lastFrame + 1;
        });
        if (run != open.end()) {
            runs[*run].lastFrame = std::max(runs[*run].lastFrame, event.lastFrame);
            runs[*run].count += event.count;
            continue;
        }
        std::erase_if(open, [&](size_t r) { return runs[r].lastFrame + 1 < event.frame; });
        open.push_back(runs.size());
        runs.push_back(event);
    }
    std::string text;
    for (const EventRecord& run : runs) {
        const std::string times = run.count > 1 ? fmt::format(" ({} times)", run.count) : std::string();
        if (run.lastFrame > run.frame)
            text += fmt::format("    frames {:>5}-{:<5} {}{}\n", run.frame, run.lastFrame, describeEvent(run), times);
        else
            text += fmt::format("    frame {:>6}  {}{}\n", run.frame, describeEvent(run), times);
    }
    return text;
}

std::string describeWindows(const Panel& panel)
{
    std::string text;
    for (const PanelWindowSpec& w : panel.windows)
        text += fmt::format("{}{}{} {}x{}{}{}", text.empty() ? "windows: " : ", ",
                            w.name.empty() ? std::to_string(w.number) : w.name,
                            w.title.empty() || w.title == w.name ? "" : " \"" + w.title + "\"", w.sizeX, w.sizeY,
                            w.virtualCockpit ? " (virtual cockpit)" : "", w.visible || w.virtualCockpit ? "" : " (hidden)");
    return text.empty() ? text : text + "\n";
}

std::string describePanel(const Snapshot& snapshot, const ReportOptions& options)
{
    // Frame steps of 1/18 s add up to a hair under the whole second.
    const long clock = std::isfinite(snapshot.timeOfDay) ? std::lround(std::floor(snapshot.timeOfDay + 1e-6)) : 0;
    std::string text = fmt::format("frame {}  simulation time {:.2f} s  time of day {:02d}:{:02d}:{:02d}\n",
                                   snapshot.frame, snapshot.simulationTime, clock / 3600 % 24, clock / 60 % 60,
                                   clock % 60);
    for (const GaugeSnapshot& gauge : snapshot.gauges)
        text += "  " + describeGauge(gauge, options) + "\n";
    if (const std::string events = describeEvents(snapshot.events); !events.empty())
        text += "  events:\n" + events;
    if (snapshot.eventsForgotten > 0)
        text += fmt::format("  ({} earlier entries of the event log were let go: it keeps the latest {})\n",
                            snapshot.eventsForgotten, MaxEventLogEntries);
    if (!snapshot.trapsCalled.empty()) {
        text += "  host services called that the development host does not offer:";
        for (int slot : snapshot.trapsCalled)
            text += fmt::format(" {}", slot);
        text += "\n";
    }
    if (!snapshot.unknownVariables.empty()) {
        text += "  variables read that the development host does not know:";
        for (uint32_t id : snapshot.unknownVariables)
            text += fmt::format(" {}", id);
        text += "\n";
    }
    return text;
}

}  // namespace devhost
