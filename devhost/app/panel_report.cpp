#include "devhost/app/panel_report.h"

#include <fmt/format.h>

#include <cmath>

#include "devhost/core/key_events.h"

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
        return fmt::format("frame {:>6}  panel window {} toggled", event.frame, event.id);
    const KeyEventInfo* info = findKeyEvent(event.id);
    return fmt::format("frame {:>6}  key event {} {} value {}{}", event.frame, event.id,
                       info ? std::string(info->name) : std::string("(unknown)"), event.value,
                       event.known ? "" : " — not a key event the host knows");
}

}  // namespace

std::string describeGauge(const GaugeSnapshot& gauge)
{
    // Hidden elements are named as such; static images only when hidden.
    std::string line = fmt::format("{:<26}", gauge.name);
    bool first = true;
    for (const ElementSnapshot& e : gauge.elements) {
        if (e.kind == StaticImage && !e.hidden)
            continue;
        line += first ? " " : "; ";
        first = false;
        line += e.hidden ? fmt::format("[{} hidden]", e.index) : shown(e);
    }
    if (first)
        line += " (nothing moving)";
    return line;
}

std::string describeEvents(const Snapshot& snapshot, size_t eventsFrom)
{
    std::string text;
    for (size_t i = eventsFrom; i < snapshot.events.size(); ++i)
        text += "    " + describeEvent(snapshot.events[i]) + "\n";
    return text;
}

std::string describePanel(const Snapshot& snapshot, size_t eventsFrom)
{
    // Frame steps of 1/18 s add up to a hair under the whole second.
    const long clock = std::isfinite(snapshot.timeOfDay) ? std::lround(std::floor(snapshot.timeOfDay + 1e-6)) : 0;
    std::string text = fmt::format("frame {}  simulation time {:.2f} s  time of day {:02d}:{:02d}:{:02d}\n",
                                   snapshot.frame, snapshot.simulationTime, clock / 3600 % 24, clock / 60 % 60,
                                   clock % 60);
    for (const GaugeSnapshot& gauge : snapshot.gauges)
        text += "  " + describeGauge(gauge) + "\n";
    if (eventsFrom < snapshot.events.size())
        text += "  events:\n" + describeEvents(snapshot, eventsFrom);
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
