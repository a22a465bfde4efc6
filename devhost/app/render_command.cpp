#include "devhost/app/render_command.h"

#include <fmt/format.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include "devhost/core/host.h"
#include "devhost/core/input_error.h"
#include "devhost/core/panel_file.h"
#include "devhost/core/variables.h"
#include "devhost/flight/flight.h"
#include "devhost/render/gauge_painter.h"
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
    // strtod rather than stod: a denormal such as 1e-320 is a value a host
    // may well deliver, not an error.
    const bool hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
    char* end = nullptr;
    errno = 0;
    const double value = hex ? double(std::strtoull(text.c_str(), &end, 16)) : std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || (hex && text.find('-') != std::string::npos))
        throw std::runtime_error(fmt::format("--set {}: \"{}\" is not a number", excerpt(setting), excerpt(text)));
    if (errno == ERANGE && (hex || std::isinf(value)))
        throw std::runtime_error(fmt::format("--set {}: {} is out of range: expected {}", excerpt(setting), excerpt(text),
                                             hex ? "0x0 to 0xFFFFFFFF" : "a number within +-1.8e308"));
    if (!host.variables().set(id, value))
        throw std::runtime_error(fmt::format("--set {}: {} is out of range for variable {}: expected a whole number "
                                             "from 0 to 4294967295",
                                             excerpt(setting), excerpt(text), id));
}

void renderGaugeAlone(const RenderOptions& options)
{
    Host host(options.module);
    GaugeInstance& gauge = host.place(options.gauge, options.parameter);
    for (const std::string& setting : options.settings)
        applySetting(host, setting);
    host.frame(std::max(1, options.frames));
    BitmapImages images(host.bitmaps());
    SurfaceHandle picture = renderGauge(gauge, images, GaugeScale{});
    writePng(picture.get(), options.output);
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
    runner.run(std::max<uint64_t>(1, runner.framesFor(options.at)));
    PanelRenderer renderer(host);
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
