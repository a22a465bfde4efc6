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
        return fmt::format("panel window {} toggled", event.id);
    const KeyEventInfo* info = findKeyEvent(event.id);
    return fmt::format("key event {} {} value {}{}", event.id,
                       info ? std::string(info->name) : std::string("(unknown)"), event.value,
                       event.known ? "" : " — not a key event the host knows");
}

bool sameEvent(const EventRecord& a, const EventRecord& b)
{
    return a.id == b.id && a.value == b.value && a.windowToggle == b.windowToggle && a.known == b.known;
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

// Some gauges hold host state every frame (the ADF's tone audio, for one), so
// an event repeated frame after frame is told once, with its frames and count.
std::string describeEvents(const Snapshot& snapshot, size_t eventsFrom)
{
    const std::vector<EventRecord>& events = snapshot.events;
    std::string text;
    for (size_t i = eventsFrom; i < events.size();) {
        size_t end = i + 1;
        while (end < events.size() && sameEvent(events[end], events[i]) && events[end].frame <= events[end - 1].frame + 1)
            ++end;
        const EventRecord& first = events[i];
        const EventRecord& last = events[end - 1];
        if (end - i > 1 && last.frame > first.frame)
            text += fmt::format("    frames {:>5}-{:<5} {} ({} times)\n", first.frame, last.frame, describeEvent(first),
                                end - i);
        else
            for (size_t k = i; k < end; ++k)
                text += fmt::format("    frame {:>6}  {}\n", events[k].frame, describeEvent(events[k]));
        i = end;
    }
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
