#include "devhost/app/render_command.h"

#include <fmt/format.h>

#include <iostream>
#include <stdexcept>

#include "devhost/app/animate_command.h"
#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/core/variables.h"
#include "devhost/flight/flight.h"
#include "devhost/render/gauge_painter.h"
#include "devhost/render/lighting.h"
#include "devhost/render/panel_renderer.h"

namespace devhost {

namespace {

// "airspeed=250", "61=250", "com1_freq=0x1802".
void applySetting(Host& host, const std::string& setting)
{
    const size_t equals = setting.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == setting.size())
        throw std::runtime_error(fmt::format("--set {}: expected NAME=VALUE, e.g. airspeed=250", setting));
    const std::string name = setting.substr(0, equals), text = setting.substr(equals + 1);
    uint32_t id = 0;
    if (const VariableInfo* info = findVariable(name)) {
        id = info->id;
    } else {
        try {
            size_t used = 0;
            id = static_cast<uint32_t>(std::stoul(name, &used));
            if (used != name.size())
                throw std::invalid_argument(name);
        } catch (const std::exception&) {
            throw std::runtime_error(fmt::format("--set {}: no host variable named \"{}\"", setting, name));
        }
    }
    double value = 0;
    try {
        size_t used = 0;
        const bool hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
        value = hex ? double(std::stoull(text, &used, 16)) : std::stod(text, &used);
        if (used != text.size())
            throw std::invalid_argument(text);
    } catch (const std::exception&) {
        throw std::runtime_error(fmt::format("--set {}: \"{}\" is not a number", setting, text));
    }
    if (!host.variables().set(id, value))
        throw std::runtime_error(fmt::format("--set {}: variable {} cannot hold {}", setting, id, text));
}

Lighting lightingOf(const RenderOptions& options, const PanelColours& colours)
{
    return {.colours = colours, .level = checkedLightLevel(options.light, "--light")};
}

void renderGaugeAlone(const RenderOptions& options)
{
    const Lighting lighting =
        lightingOf(options, options.panel.empty() ? PanelColours{} : loadPanel(options.panel).colours);
    Host host(options.module);
    GaugeInstance& gauge = host.place(options.gauge, options.parameter);
    for (const std::string& setting : options.settings)
        applySetting(host, setting);
    BitmapImages images(host.bitmaps());
    if (options.animated()) {
        const Flight flight = actionsOn(options.flight.empty() ? demoFlight() : loadFlight(options.flight), options.gauge);
        FlightRunner runner(host, flight);
        SurfaceHandle picture;
        animateFlight(runner, flight, options, [&] {
            picture = renderGauge(gauge, images, GaugeScale{}, {}, lighting);
            return picture.get();
        });
    } else {
        host.frame(std::max(1, options.frames));
        SurfaceHandle picture = renderGauge(gauge, images, GaugeScale{}, {}, lighting);
        writePng(picture.get(), options.output);
    }
    for (int32_t bitmap : images.missing())
        std::cerr << fmt::format("devhost: {} names bitmap {}, which the module lacks\n", options.gauge, bitmap);
}

void renderPanelWindow(const RenderOptions& options)
{
    Host host(options.module);
    const Panel panel = options.panel.empty() ? defaultPanel() : loadPanel(options.panel);
    const auto window = std::find_if(panel.windows.begin(), panel.windows.end(),
                                     [&](const PanelWindowSpec& w) { return w.number == options.window; });
    if (window == panel.windows.end())
        throw std::runtime_error(fmt::format("{}: no window {}", panel.source, options.window));
    for (const std::string& skipped : host.placePanel(panel))
        std::cerr << fmt::format("devhost: {}: {} belongs to another module; skipped\n", panel.source, skipped);
    const Flight flight = options.flight.empty() ? demoFlight() : loadFlight(options.flight);
    FlightRunner runner(host, flight);
    PanelRenderer renderer(host);
    renderer.setLighting(lightingOf(options, panel.colours));
    const Point size{window->sizeX, window->sizeY};
    if (options.animated()) {
        animateFlight(runner, flight, options, [&] { return renderer.render(options.window, size); });
    } else {
        runner.run(framesBefore(runner, options.at));
        writePng(renderer.render(options.window, size), options.output);
    }
    for (int32_t bitmap : renderer.images().missing())
        std::cerr << fmt::format("devhost: the panel names bitmap {}, which the module lacks\n", bitmap);
}

}  // namespace

void renderToPng(const RenderOptions& options)
{
    if (!options.animated() && (options.every || options.speed))
        throw std::runtime_error("--every and --speed shape an animation: give --from or --to as well");
    if (options.gauge.empty())
        renderPanelWindow(options);
    else
        renderGaugeAlone(options);
    releaseDrawingCaches();
}

}  // namespace devhost
