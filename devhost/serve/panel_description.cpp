#include "devhost/serve/panel_description.h"

#include <fmt/format.h>

#include <optional>

#include "devhost/core/tooltip_format.h"
#include "devhost/core/values.h"
#include "devhost/core/variables.h"
#include "devhost/flight/flight_recorder.h"
#include "devhost/flight/snapshot_json.h"
#include "devhost/serve/playback.h"

namespace devhost {

using Json = nlohmann::json;

namespace {

// A slider's travel in the first unit a variable is told in, for the
// quantities a slider suits; radios, codes and flags take typed values.
struct Travel {
    double low, high, step;
};

std::optional<Travel> travelOf(Quantity quantity)
{
    switch (quantity) {
    case Quantity::Knots: return Travel{0, 800, 1};
    case Quantity::Feet: return Travel{0, 50000, 10};
    case Quantity::VerticalSpeed: return Travel{-100, 100, 0.5};
    case Quantity::Degrees: return Travel{-180, 360, 1};
    case Quantity::TurnFraction: return Travel{0, 360, 1};
    case Quantity::Millibars: return Travel{930, 1067, 1};
    case Quantity::InchesOfMercury: return Travel{27.5, 31.5, 0.01};
    case Quantity::EngineSpeed: return Travel{0, 12000, 10};
    case Quantity::Rankine: return Travel{-60, 1000, 1};
    case Quantity::EnginePressure: return Travel{0, 10, 0.1};
    case Quantity::TankLevel:
    case Quantity::FlapsTravel: return Travel{0, 100, 1};
    case Quantity::Gallons: return Travel{0, 500, 1};
    case Quantity::Seconds: return Travel{0, 86400, 1};
    default: return std::nullopt;
    }
}

Json sliderOf(const VariableInfo& info)
{
    const std::optional<Travel> travel = travelOf(info.quantity);
    if (!travel)
        return nullptr;
    // The unit the catalogue tells the variable in, as it writes it.
    const std::string told = naturalText(info, info.initial);
    const size_t space = told.rfind(' ');
    if (space == std::string::npos)
        return nullptr;
    return {{"min", travel->low}, {"max", travel->high}, {"step", travel->step}, {"unit", told.substr(space + 1)}};
}

}  // namespace

Json describePanel(const Panel& panel, const PanelSession& session, uint64_t layoutGeneration)
{
    const Host& host = *session.host;
    Json windows = Json::array();
    for (const PanelWindowSpec& window : panel.windows)
        windows.push_back({{"number", window.number},
                           {"title", window.title.empty() ? fmt::format("Window {}", window.number) : window.title},
                           {"width", window.sizeX},
                           {"height", window.sizeY},
                           {"x", window.posX},
                           {"y", window.posY}});
    Json gauges = Json::array();
    for (size_t g = 0; g < host.gauges().size(); ++g) {
        const GaugeInstance& gauge = *host.gauges()[g];
        const Box& tile = session.tiles[g];
        gauges.push_back({{"index", g},
                          {"name", gauge.name()},
                          {"window", gauge.window()},
                          {"x", gauge.position().x},
                          {"y", gauge.position().y},
                          {"width", gauge.size().x},
                          {"height", gauge.size().y},
                          {"pixels", {gauge.gaugePixels().x, gauge.gaugePixels().y}},
                          {"tile", {tile.x, tile.y, tile.width, tile.height}}});
    }
    Json variables = Json::array();
    for (const VariableInfo& info : knownVariables()) {
        Json entry(toJson(info));
        entry["slider"] = sliderOf(info);
        variables.push_back(std::move(entry));
    }
    return {{"panel", panel.source},
            {"layout", layoutGeneration},
            {"frames_per_second", host.options().framesPerSecond},
            {"windows", windows},
            {"gauges", gauges},
            {"variables", variables},
            {"speeds", {MinPlaybackSpeed, MaxPlaybackSpeed}},
            {"recording_cap", {{"entries", MaxRecordedEntries}, {"bytes", MaxRecordingBytes}}}};
}

}  // namespace devhost
