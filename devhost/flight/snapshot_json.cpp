#include "devhost/flight/snapshot_json.h"

#include <cmath>

#include "devhost/core/key_events.h"
#include "devhost/core/values.h"

namespace devhost {

namespace {

// JSON has no NaN or infinity: a value the module made non-finite is shown
// as null rather than breaking the document.
nlohmann::json number(double value) { return std::isfinite(value) ? nlohmann::json(value) : nlohmann::json(); }

const char* kindName(ElementKind kind)
{
    switch (kind) {
    case StaticImage: return "static";
    case Needle: return "needle";
    case String: return "string";
    case Slider: return "slider";
    case Icon: return "icon";
    case MovingImage: return "moving_image";
    case Sprite: return "sprite";
    }
    return "unknown";
}

}  // namespace

nlohmann::ordered_json toJson(const VariableInfo& v)
{
    return {{"name", v.name},
            {"number", v.id},
            {"unit", v.unit},
            {"kind", kindName(v.kind)},
            {"group", groupName(v.group)},
            {"default", v.initial},
            {"default_natural", naturalText(v, v.initial)},
            {"accepts", acceptedForms(v)},
            {"description", v.about}};
}

nlohmann::json toJson(const ElementSnapshot& e)
{
    nlohmann::json j{{"index", e.index}, {"depth", e.depth},       {"kind", kindName(e.kind)},
                     {"bitmap", e.bitmap}, {"image_flags", e.imageFlags}, {"hidden", e.hidden}};
    switch (e.kind) {
    case Needle:
        j["value"] = number(e.value);
        j["angle"] = number(e.angle);
        break;
    case Icon:
        j["value"] = number(e.value);
        j["frame"] = e.frame ? nlohmann::json(*e.frame) : nlohmann::json();
        break;
    case String:
        j["text"] = e.text;
        j["text_colour"] = e.textColour;
        j["font"] = e.font;
        break;
    case Slider:
    case MovingImage:
        j["x_value"] = number(e.xValue);
        j["y_value"] = number(e.yValue);
        j["x_offset"] = number(e.xOffset);
        j["y_offset"] = number(e.yOffset);
        break;
    case Sprite:
        j["x_value"] = number(e.xValue);
        j["y_value"] = number(e.yValue);
        j["rotation_value"] = number(e.rotationValue);
        j["x_offset"] = number(e.xOffset);
        j["y_offset"] = number(e.yOffset);
        j["rotation"] = number(e.rotation);
        break;
    case StaticImage:
        break;
    }
    return j;
}

nlohmann::json toJson(const GaugeSnapshot& g)
{
    nlohmann::json elements = nlohmann::json::array();
    for (const ElementSnapshot& e : g.elements)
        elements.push_back(toJson(e));
    return {{"name", g.name},
            {"parameter", g.parameter},
            {"window", g.window},
            {"x", g.x},
            {"y", g.y},
            {"width", g.width},
            {"height", g.height},
            {"help_id_of_first_region", g.helpIdOfFirstRegion},
            {"user_data", g.userData},
            {"readings", g.readings},
            {"elements", elements}};
}

nlohmann::json toJson(const EventRecord& event)
{
    nlohmann::json j{{"frame", event.frame}, {"last_frame", event.lastFrame}, {"count", event.count},
                     {"id", event.id},       {"value", event.value}};
    if (event.windowToggle) {
        j["window_toggle"] = true;
    } else {
        const KeyEventInfo* info = findKeyEvent(event.id);
        j["name"] = info ? nlohmann::json(std::string(info->name)) : nlohmann::json();
        j["known"] = event.known;
    }
    return j;
}

nlohmann::json toJson(const Snapshot& s)
{
    nlohmann::json gauges = nlohmann::json::array();
    for (const GaugeSnapshot& g : s.gauges)
        gauges.push_back(toJson(g));
    nlohmann::json events = nlohmann::json::array();
    for (const EventRecord& e : s.events)
        events.push_back(toJson(e));
    return {{"frame", s.frame},
            {"simulation_time", number(s.simulationTime)},
            {"time_of_day", number(s.timeOfDay)},
            {"gauges", gauges},
            {"events", events},
            {"events_forgotten", s.eventsForgotten},
            {"traps_called", s.trapsCalled},
            {"unknown_variables", s.unknownVariables}};
}

nlohmann::json toJson(const FlightLogEntry& entry)
{
    return {{"frame", entry.frame}, {"time", number(entry.time)}, {"what", entry.what}};
}

}  // namespace devhost
