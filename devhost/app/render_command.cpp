#include "devhost/app/render_command.h"

#include <fmt/format.h>

#include <functional>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "devhost/app/animate_command.h"
#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/render/animation.h"
#include "devhost/render/gauge_painter.h"
#include "devhost/render/lighting.h"
#include "devhost/render/panel_renderer.h"

namespace devhost {

namespace {

Lighting lightingOf(const RenderOptions& options, const PanelColours& colours)
{
    return {.colours = colours, .level = checkedLightLevel(options.light, "--light")};
}

// The state before an animation: the panel, settings and clicks, but not
// the flight, which the animation plays once from its start.
BuiltState stateBeforeAnimation(const RenderOptions& options, const Panel* panel)
{
    StateOptions before = options;
    before.flight.clear();
    before.at.reset();
    if (options.settings.empty() && options.clicks.empty())
        before.frames = options.frames.value_or(0);
    return buildState(before, panel);
}

void animate(const RenderOptions& options, Host& host, const std::function<cairo_surface_t*()>& draw)
{
    const Flight flight = options.flight.empty() ? demoFlight() : loadFlight(options.flight);
    FlightRunner runner(host, flight, options.lenient);
    animateFlight(runner, flight, options, draw);
}

void renderGaugeAlone(const RenderOptions& options)
{
    const std::optional<Panel> panel =
        options.panel.empty() ? std::nullopt : std::optional<Panel>(choosePanel(options.panel, options.screenWidth));
    const Lighting lighting = lightingOf(options, panel ? panel->colours : PanelColours{});
    const Panel* read = panel ? &*panel : nullptr;
    BuiltState state = options.animated() ? stateBeforeAnimation(options, read) : buildState(options, read);
    if (options.animated())
        checkAnimationSize(options.output, state.gauge->size().x, state.gauge->size().y);
    BitmapImages images(state.host->bitmaps());
    SurfaceHandle picture;
    auto draw = [&] {
        picture = renderGauge(*state.gauge, images, GaugeScale{}, {}, lighting);
        return picture.get();
    };
    if (options.animated())
        animate(options, *state.host, draw);
    else
        writePng(draw(), options.output, pngCompression(options));
    for (int32_t bitmap : images.missing())
        std::cerr << fmt::format("devhost: {} names bitmap {}, which the module lacks\n", options.gauge, bitmap);
}

void renderPanelWindow(const RenderOptions& options)
{
    const Panel panel = choosePanel(options.panel, options.screenWidth);
    const PanelWindowSpec* window = findWindow(panel, options.window);
    if (!window)
        throw std::runtime_error(fmt::format("--window {}: {} has no such window (it has {})", options.window,
                                             panel.source, windowList(panel)));
    if (options.animated())
        checkAnimationSize(options.output, window->sizeX, window->sizeY);
    BuiltState state = options.animated() ? stateBeforeAnimation(options, &panel) : buildState(options, &panel);
    PanelRenderer renderer(*state.host);
    renderer.setLighting(lightingOf(options, panel.colours));
    const Point size{window->sizeX, window->sizeY};
    if (options.animated())
        animate(options, *state.host, [&] { return renderer.render(window->number, size); });
    else
        writePng(renderer.render(window->number, size), options.output, pngCompression(options));
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
