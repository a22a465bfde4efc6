#include "devhost/app/render_command.h"

#include <fmt/format.h>

#include <iostream>
#include <stdexcept>

#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/render/gauge_painter.h"
#include "devhost/render/panel_renderer.h"

namespace devhost {

namespace {

void renderGaugeAlone(const RenderOptions& options)
{
    BuiltState state = buildState(options);
    BitmapImages images(state.host->bitmaps());
    SurfaceHandle picture = renderGauge(*state.gauge, images, GaugeScale{});
    writePng(picture.get(), options.output);
    for (int32_t bitmap : images.missing())
        std::cerr << fmt::format("devhost: {} names bitmap {}, which the module lacks\n", options.gauge, bitmap);
}

void renderPanelWindow(const RenderOptions& options)
{
    const Panel panel = options.panel.empty() ? defaultPanel() : loadPanel(options.panel);
    const auto window = std::find_if(panel.windows.begin(), panel.windows.end(),
                                     [&](const PanelWindowSpec& w) { return w.number == options.window; });
    if (window == panel.windows.end()) {
        std::string windows;
        for (const PanelWindowSpec& w : panel.windows)
            windows += (windows.empty() ? "" : ", ") + std::to_string(w.number);
        throw std::runtime_error(fmt::format("--window {}: {} has no such window (it has {})", options.window,
                                             panel.source, windows.empty() ? "none" : windows));
    }
    BuiltState state = buildState(options);
    PanelRenderer renderer(*state.host);
    writePng(renderer.render(options.window, Point{window->sizeX, window->sizeY}), options.output);
    for (int32_t bitmap : renderer.images().missing())
        std::cerr << fmt::format("devhost: the panel names bitmap {}, which the module lacks\n", bitmap);
}

}  // namespace

void renderToPng(const RenderOptions& options)
{
    if (options.gauge.empty())
        renderPanelWindow(options);
    else
        renderGaugeAlone(options);
    releaseDrawingCaches();
}

}  // namespace devhost
