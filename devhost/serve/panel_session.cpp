#include "devhost/serve/panel_session.h"

#include <fmt/format.h>

#include "devhost/core/input_error.h"
#include "devhost/serve/request_error.h"

namespace devhost {

namespace {

// Refused where a flight comes in, from the command line or the page:
// played, a click on a gauge the panel lacks would end the ticking thread,
// and with it the server.
void checkGauges(const Flight& flight, Host& host)
{
    if (flight.source == DemoFlightSource)
        return;  // runs on any panel, passing over the gauges it lacks
    for (const FlightAction& action : flight.actions)
        if (!action.gauge.empty() && !host.find(action.gauge))
            throw FlightError(flight.source, action.line, fmt::format("no gauge {} on the panel", action.gauge));
}

}  // namespace

uint32_t identOf(const PanelWindowSpec& window)
{
    return static_cast<uint32_t>(window.ident >= 0 ? window.ident : window.number);
}

std::unique_ptr<PanelSession> PanelSession::open(const std::string& module, const Panel& panel, const Flight& flight)
{
    auto session = std::make_unique<PanelSession>();
    session->host = std::make_unique<Host>(module);
    session->host->placePanel(panel);
    checkGauges(flight, *session->host);
    for (const PanelWindowSpec& window : panel.windows)
        session->host->windows().visible[identOf(window)] = window.visible;
    session->runner = std::make_unique<FlightRunner>(*session->host, flight);
    return session;
}

void PanelSession::runTo(double at)
{
    try {
        runner->run(runner->framesBefore(at));
    } catch (const InputError& error) {
        throw RequestError(error.what(), 422);
    }
}

void PanelSession::lay(const Panel& panel, const Lighting& lighting)
{
    renderer = std::make_unique<PanelRenderer>(*host);
    renderer->setLighting(lighting);
    pictures.assign(panel.windows.size(), nullptr);
    tiles.clear();
    windowOf.clear();
    for (const auto& gauge : host->gauges()) {
        size_t w = 0;
        while (w < panel.windows.size() && panel.windows[w].number != gauge->window())
            ++w;
        const PanelWindowSpec& window = panel.windows.at(w);
        const Box placed{gauge->position().x, gauge->position().y, gauge->size().x, gauge->size().y};
        tiles.push_back(intersection(placed, {0, 0, window.sizeX, window.sizeY}).value_or(Box{0, 0, 0, 0}));
        windowOf.push_back(w);
    }
    drawWindows(panel);
}

void PanelSession::drawWindows(const Panel& panel)
{
    for (size_t w = 0; w < panel.windows.size(); ++w)
        pictures[w] = renderer->render(panel.windows[w].number, {panel.windows[w].sizeX, panel.windows[w].sizeY});
}

GaugeInstance& PanelSession::gaugeOf(const nlohmann::json& body) const
{
    const auto& gauges = host->gauges();
    const nlohmann::json& which = field(body, "gauge");
    if (which.is_number_integer()) {
        const long long index = which.get<long long>();
        if (index >= 0 && size_t(index) < gauges.size())
            return *gauges[size_t(index)];
    } else if (which.is_string()) {
        if (GaugeInstance* gauge = host->find(which.get<std::string>()))
            return *gauge;
    }
    throw RequestError(fmt::format("no gauge {} on the panel (give its index, 0 to {}, or its name)", excerptOf(which),
                                   gauges.size() - 1),
                       404);
}

}  // namespace devhost
