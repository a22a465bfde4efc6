#include "devhost/serve/live_panel.h"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>

#include "devhost/core/gauge_notes.h"
#include "devhost/core/mouse_map.h"
#include "devhost/core/values.h"
#include "devhost/core/tooltip_format.h"
#include "devhost/flight/snapshot_json.h"
#include "devhost/render/lighting.h"
#include "devhost/serve/request_error.h"
#include "devhost/serve/tile_encoding.h"

namespace devhost {

namespace {

// Readings come from the module's tooltip code: asked twice a second, not
// every frame.
constexpr uint64_t ReadingsEveryTicks = 9;

using Json = nlohmann::json;

Json number(double value) { return std::isfinite(value) ? Json(value) : Json(); }

// The cursor shape a mouse area's cursor code names, as the page's CSS says it.
std::string_view cursorShape(int32_t code)
{
    switch (code) {
    case CursorUpArrow: return "n-resize";
    case CursorDownArrow: return "s-resize";
    case CursorHand: return "pointer";
    case CursorNone: return "default";
    default: return "crosshair";
    }
}

// The identifier by which key events and the panel buttons name a window.
uint32_t identOf(const PanelWindowSpec& window)
{
    return static_cast<uint32_t>(window.ident >= 0 ? window.ident : window.number);
}

// A message as every page's event stream carries it, framed once for them all.
FeedMessage feedEvent(const Json& message)
{
    return std::make_shared<const std::string>("data: " + message.dump() + "\n\n");
}

Json tileJson(size_t gauge, const Box& area, cairo_surface_t* picture)
{
    return {{"g", gauge},     {"x", area.x}, {"y", area.y}, {"w", area.width}, {"h", area.height},
            {"png", base64(encodePng(picture, area))}};
}

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

// A setting as the page sends it: a variable of the catalogue by name (or
// "adf", the ADF frequency), and its value as a number or in any form the
// command line takes ("250kmh", "122.80", "7700", "0x1820").
std::vector<VariableValue> settingOf(const Json& body)
{
    const std::string name = textField(body, "name");
    SettingTarget target;
    try {
        target = settingTarget(name);
    } catch (const ValueError& error) {
        throw RequestError(error.what(), 404);
    }
    const Json& value = field(body, "value");
    if (!value.is_number() && !value.is_string())
        throw RequestError(fmt::format("{}: the value must be a number or a text, not {}", name, value.dump()));
    try {
        return hostValues(target, value.is_string() ? value.get<std::string>() : value.dump());
    } catch (const ValueError& error) {
        throw RequestError(fmt::format("{}: {}", name, error.what()));
    }
}

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

// The host and what runs and draws it; made anew when the flight is
// loaded or sought back.
struct LivePanel::Session {
    std::unique_ptr<Host> host;
    std::unique_ptr<FlightRunner> runner;
    std::unique_ptr<PanelRenderer> renderer;
    std::vector<cairo_surface_t*> pictures;   // per window of the panel, as last drawn
    std::vector<Box> tiles;                   // per gauge: its rectangle within its window's picture
    std::vector<size_t> windowOf;             // per gauge: the index of its window in the panel

    // Every window's picture as the host shows it now.
    void drawWindows(const Panel& panel)
    {
        for (size_t w = 0; w < panel.windows.size(); ++w)
            pictures[w] = renderer->render(panel.windows[w].number, {panel.windows[w].sizeX, panel.windows[w].sizeY});
    }
};

// What the user did since recording began, as a flight script's actions
// and keyframes.
struct LivePanel::Recorder {
    bool on = false;
    uint64_t startFrame = 0;
    double lastTime = 0;
    Json actions = Json::array();
    std::map<std::string, Json> variables;

    double timeAt(const Host& host)
    {
        lastTime = double(host.frameNumber() - startFrame) / host.options().framesPerSecond;
        return lastTime;
    }
};

LivePanel::LivePanel(const ServeOptions& options)
    : options_(options),
      panel_(options.panel.empty() ? defaultPanel() : loadPanel(options.panel, {.screenWidth = options.screenWidth})),
      recorder_(std::make_unique<Recorder>()),
      flight_(options.flight.empty() ? demoFlight() : devhost::loadFlight(options.flight))
{
    lighting_.colours = panel_.colours;
    std::lock_guard lock(mutex_);
    rebuild(flight_, 0);
    checkGauges(flight_, *session_->host);
}

LivePanel::~LivePanel()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (ticker_.joinable())
        ticker_.join();
    feed_.close();
}

void LivePanel::rebuild(const Flight& flight, double at)
{
    auto session = std::make_unique<Session>();
    session->host = std::make_unique<Host>(options_.module);
    session->host->placePanel(panel_);
    for (const PanelWindowSpec& window : panel_.windows)
        session->host->windows().visible[identOf(window)] = window.visible;
    session->runner = std::make_unique<FlightRunner>(*session->host, flight);
    session->runner->run(session->runner->framesBefore(at));
    session->renderer = std::make_unique<PanelRenderer>(*session->host);
    session->renderer->setLighting(lighting_);
    session->pictures.assign(panel_.windows.size(), nullptr);
    for (const auto& gauge : session->host->gauges()) {
        size_t w = 0;
        while (w < panel_.windows.size() && panel_.windows[w].number != gauge->window())
            ++w;
        const PanelWindowSpec& window = panel_.windows.at(w);
        const Box placed{gauge->position().x, gauge->position().y, gauge->size().x, gauge->size().y};
        session->tiles.push_back(intersection(placed, {0, 0, window.sizeX, window.sizeY}).value_or(Box{0, 0, 0, 0}));
        session->windowOf.push_back(w);
    }
    session->drawWindows(panel_);
    session_ = std::move(session);
    variablesSent_.clear();
    eventMark_ = {};
    windowsSent_.clear();
    readingsSent_.assign(session_->host->gauges().size(), {});
    ticks_ = 0;
    wholeNext_ = true;
}

void LivePanel::start()
{
    ticker_ = std::thread([this] {
        std::unique_lock lock(mutex_);
        const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(1.0 / session_->host->options().framesPerSecond));
        auto next = std::chrono::steady_clock::now() + period;
        while (!stopping_) {
            wake_.wait_until(lock, next, [&] { return stopping_ || tickSoon_; });
            if (stopping_)
                break;
            tickSoon_ = false;
            tickLocked();
            // A tick asked for by a click starts the rhythm anew, so that the
            // frame rate stays what the host says.
            const auto now = std::chrono::steady_clock::now();
            next = std::max(next + period, now + period / 2);
            if (next > now + period)
                next = now + period;
        }
    });
}

void LivePanel::requestTick()
{
    tickSoon_ = true;
    wake_.notify_all();
}

void LivePanel::tick()
{
    std::lock_guard lock(mutex_);
    tickLocked();
}

uint64_t LivePanel::frameNumber()
{
    std::lock_guard lock(mutex_);
    return session_->host->frameNumber();
}

void LivePanel::tickLocked()
{
    Session& s = *session_;
    // The flight's frames due at its speed; without any, the panel still
    // lives (clocks run, clicks show) on a frame of its own.
    int flightFrames = 0;
    if (playing_ && !s.runner->finished()) {
        due_ += speed_;
        flightFrames = static_cast<int>(due_);
        due_ -= flightFrames;
    }
    if (flightFrames == 0)
        s.host->frame();
    for (int i = 0; i < flightFrames && !s.runner->finished(); ++i)
        s.runner->step();
    if (playing_ && s.runner->finished())
        playing_ = false;

    const bool whole = wholeNext_;
    wholeNext_ = false;
    Json tiles = Json::array();
    for (size_t w = 0; w < panel_.windows.size(); ++w) {
        const PanelWindowSpec& window = panel_.windows[w];
        s.pictures[w] = s.renderer->render(window.number, {window.sizeX, window.sizeY});
        if (whole)
            continue;
        // The renderer's own record of what it put together again: only
        // those rectangles, cut to the gauges' tiles, go out.
        for (const Box& area : s.renderer->redrawnAreas())
            for (size_t g = 0; g < s.tiles.size(); ++g)
                if (s.windowOf[g] == w)
                    if (auto piece = intersection(area, s.tiles[g]))
                        tiles.push_back(tileJson(g, *piece, s.pictures[w]));
    }
    ++ticks_;
    Json message = changes(whole);
    if (whole)
        s.host->eventsSince(eventMark_);   // the message carries the latest; the next frame tells only later ones
    else
        message["tiles"] = std::move(tiles);
    feed_.publish(feedEvent(message));
}

// The message of this tick: with `whole`, everything (a page starting
// afresh, or every page after the light or the flight changed); else what
// changed since the last message.
Json LivePanel::changes(bool whole)
{
    Session& s = *session_;
    Host& host = *s.host;
    Json message{{"type", whole ? "whole" : "frame"},
                 {"frame", host.frameNumber()},
                 {"playback",
                  {{"playing", playing_},
                   {"speed", speed_},
                   {"time", number(s.runner->time())},
                   {"duration", flight_.duration},
                   {"name", flight_.name.empty() ? flight_.source : flight_.name}}},
                 {"recording", recorder_->on},
                 {"light", lighting_.level}};

    if (whole) {
        Json tiles = Json::array();
        for (size_t g = 0; g < s.tiles.size(); ++g)
            if (s.tiles[g].width > 0)
                tiles.push_back(tileJson(g, s.tiles[g], s.pictures[s.windowOf[g]]));
        message["tiles"] = std::move(tiles);
        Json backings = Json::object();
        for (const PanelWindowSpec& window : panel_.windows) {
            const Box all{0, 0, std::max(1, window.sizeX), std::max(1, window.sizeY)};
            backings[std::to_string(window.number)] =
                base64(encodePng(s.renderer->backing(window.number, {all.width, all.height}), all));
        }
        message["backings"] = std::move(backings);
    }

    Json variables = Json::object();
    const auto known = knownVariables();
    variablesSent_.resize(known.size(), NAN);
    for (size_t i = 0; i < known.size(); ++i) {
        const double value = host.variables().get(known[i].id);
        if (whole || !(value == variablesSent_[i] || (std::isnan(value) && std::isnan(variablesSent_[i])))) {
            variables[std::string(known[i].name)] = {{"value", number(value)}, {"told", naturalText(known[i], value)}};
            variablesSent_[i] = value;
        }
    }
    if (!variables.empty())
        message["variables"] = std::move(variables);

    // Key events (the host's log keeps a run of one event as one entry): a
    // page starting afresh gets the latest, the others what is new, both
    // up to a bound, with the number left out.
    std::vector<EventRecord> events;
    if (whole) {
        const auto& log = host.events();
        events.assign(log.end() - std::ptrdiff_t(std::min(log.size(), MaxEventsPerMessage)), log.end());
    } else {
        events = host.eventsSince(eventMark_);
    }
    if (events.size() > MaxEventsPerMessage) {
        message["events_skipped"] = events.size() - MaxEventsPerMessage;
        events.erase(events.begin(), events.end() - std::ptrdiff_t(MaxEventsPerMessage));
    }
    if (!events.empty()) {
        Json sent = Json::array();
        for (const EventRecord& event : events)
            sent.push_back(toJson(event));
        message["events"] = std::move(sent);
    }

    std::vector<bool> windows;
    for (const PanelWindowSpec& window : panel_.windows)
        windows.push_back(host.windows().visible[identOf(window)]);
    if (whole || windows != windowsSent_) {
        Json shown = Json::object();
        for (size_t w = 0; w < windows.size(); ++w)
            shown[std::to_string(panel_.windows[w].number)] = bool(windows[w]);
        message["windows"] = std::move(shown);
        windowsSent_ = windows;
    }

    if (whole || ticks_ % ReadingsEveryTicks == 0) {
        Json readings = Json::object();
        for (size_t g = 0; g < host.gauges().size(); ++g) {
            GaugeInstance& gauge = *host.gauges()[g];
            std::vector<std::string> now = gaugeReadings(host, gauge, host.probe(gauge));
            if (whole || now != readingsSent_[g]) {
                readings[std::to_string(g)] = now;
                readingsSent_[g] = std::move(now);
            }
        }
        if (!readings.empty())
            message["readings"] = std::move(readings);
    }
    return message;
}

FeedMessage LivePanel::wholeState()
{
    std::lock_guard lock(mutex_);
    // A copy of the record of what was sent: the other pages keep getting changes.
    const auto variables = variablesSent_;
    const auto windows = windowsSent_;
    const auto readings = readingsSent_;
    Json message = changes(true);
    variablesSent_ = variables;
    windowsSent_ = windows;
    readingsSent_ = readings;
    return feedEvent(message);
}

Json LivePanel::describe()
{
    std::lock_guard lock(mutex_);
    const Host& host = *session_->host;
    Json windows = Json::array();
    for (const PanelWindowSpec& window : panel_.windows)
        windows.push_back({{"number", window.number},
                           {"title", window.title.empty() ? fmt::format("Window {}", window.number) : window.title},
                           {"width", window.sizeX},
                           {"height", window.sizeY},
                           {"x", window.posX},
                           {"y", window.posY}});
    Json gauges = Json::array();
    for (size_t g = 0; g < host.gauges().size(); ++g) {
        const GaugeInstance& gauge = *host.gauges()[g];
        const Box& tile = session_->tiles[g];
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
    return {{"panel", panel_.source},
            {"frames_per_second", host.options().framesPerSecond},
            {"windows", windows},
            {"gauges", gauges},
            {"variables", variables},
            {"speeds", {MinPlaybackSpeed, MaxPlaybackSpeed}}};
}

GaugeInstance& LivePanel::gaugeOf(const Json& body)
{
    const auto& gauges = session_->host->gauges();
    const Json& which = field(body, "gauge");
    if (which.is_number_integer()) {
        const long long index = which.get<long long>();
        if (index >= 0 && size_t(index) < gauges.size())
            return *gauges[size_t(index)];
    } else if (which.is_string()) {
        if (GaugeInstance* gauge = session_->host->find(which.get<std::string>()))
            return *gauge;
    }
    throw RequestError(fmt::format("no gauge {} on the panel (give its index, 0 to {}, or its name)", which.dump(),
                                   gauges.size() - 1),
                       404);
}

Point LivePanel::pointIn(const Json& body, const GaugeInstance& gauge)
{
    const Point pixels = gauge.gaugePixels();
    return {static_cast<int32_t>(integerField(body, "x", 0, pixels.x - 1)),
            static_cast<int32_t>(integerField(body, "y", 0, pixels.y - 1))};
}

Json LivePanel::click(const Json& body)
{
    std::lock_guard lock(mutex_);
    GaugeInstance& gauge = gaugeOf(body);
    const Point at = pointIn(body, gauge);
    bool right = false;
    if (body.contains("button")) {
        const std::string button = textField(body, "button");
        if (button != "left" && button != "right")
            throw RequestError(fmt::format("\"button\" is \"{}\": it must be \"left\" or \"right\"", button));
        right = button == "right";
    }
    Host& host = *session_->host;
    const ClickResult result = host.clickGaugePixel(gauge, at, right ? ClickRight : ClickLeft);
    if (recorder_->on && result.hit)
        recorder_->actions.push_back({{"at", recorder_->timeAt(host)},
                                      {"click", gauge.name()},
                                      {"x", at.x},
                                      {"y", at.y},
                                      {"button", right ? "right" : "left"}});
    requestTick();
    return {{"hit", result.hit}, {"handled", result.handled}, {"key_event", result.keyEvent}, {"area", result.areaIndex}};
}

Json LivePanel::hover(const Json& body)
{
    std::lock_guard lock(mutex_);
    GaugeInstance& gauge = gaugeOf(body);
    const Point at = pointIn(body, gauge);
    const MouseMap::Hit hit = MouseMap(gauge.mouseAreas(), gauge.gaugePixels()).clickAt(at, ClickLeft | ClickRight);
    return {{"tooltip", windows1252ToUtf8(session_->host->hoverGaugePixel(gauge, at))},
            {"cursor", hit.area ? cursorShape(hit.area->cursor) : "default"},
            {"repeat", hit.area && (hit.area->clickFlags & ClickRepeat) != 0},
            {"buttons", {{"left", hit.area && (hit.area->clickFlags & ClickLeft) != 0},
                         {"right", hit.area && (hit.area->clickFlags & ClickRight) != 0}}}};
}

void LivePanel::setVariable(const Json& body)
{
    std::lock_guard lock(mutex_);
    const std::vector<VariableValue> values = settingOf(body);
    Host& host = *session_->host;
    // The values come converted and checked against their variables'
    // ranges, so the store takes them.
    for (const VariableValue& v : values) {
        host.variables().set(v.id, v.value);
        if (recorder_->on) {
            const VariableInfo* info = findVariable(v.id);
            recorder_->variables[info ? std::string(info->name) : std::to_string(v.id)].push_back(
                {recorder_->timeAt(host), v.value});
        }
    }
    requestTick();
}

void LivePanel::showWindow(const Json& body)
{
    std::lock_guard lock(mutex_);
    const long long number = integerField(body, "window", 0, MaxVirtualCockpitNumber);
    const auto window = std::find_if(panel_.windows.begin(), panel_.windows.end(),
                                     [&](const PanelWindowSpec& w) { return w.number == number; });
    if (window == panel_.windows.end())
        throw RequestError(fmt::format("the panel has no window {}", number), 404);
    const std::string action = textField(body, "action");
    bool& shown = session_->host->windows().visible[identOf(*window)];
    if (action == "open")
        shown = true;
    else if (action == "close")
        shown = false;
    else if (action == "toggle")
        shown = !shown;
    else
        throw RequestError(fmt::format("\"action\" is \"{}\": it must be \"open\", \"close\" or \"toggle\"", action));
    requestTick();
}

void LivePanel::playback(const Json& body)
{
    std::lock_guard lock(mutex_);
    // Every field is checked before any is applied.
    std::optional<bool> play;
    std::optional<double> speed, seek;
    if (body.contains("play"))
        play = flagField(body, "play");
    if (body.contains("speed"))
        speed = numberField(body, "speed", MinPlaybackSpeed, MaxPlaybackSpeed);
    if (body.contains("seek"))
        seek = numberField(body, "seek", 0, flight_.duration);
    if (!play && !speed && !seek)
        throw RequestError("give \"play\" (true or false), \"speed\" (0.25 to 8) or \"seek\" (seconds)");
    if (seek)
        rebuild(flight_, *seek);
    if (speed)
        speed_ = *speed;
    if (play)
        playing_ = *play;
    due_ = 0;
    requestTick();
}

void LivePanel::loadFlight(std::string_view scriptText)
{
    Flight flight;
    try {
        flight = parseFlight(scriptText, "the flight sent");
    } catch (const InputError& error) {
        throw RequestError(error.what());
    }
    std::lock_guard lock(mutex_);
    try {
        checkGauges(flight, *session_->host);
    } catch (const FlightError& error) {
        throw RequestError(error.what());
    }
    flight_ = std::move(flight);
    playing_ = false;
    rebuild(flight_, 0);
    requestTick();
}

void LivePanel::setLight(const Json& body)
{
    std::lock_guard lock(mutex_);
    lighting_.level = numberField(body, "level", Lighting::NightLevel, Lighting::DaylightLevel);
    session_->renderer->setLighting(lighting_);
    // The renderer has let the old light's pictures go; a page may ask for
    // the whole state before the next tick.
    session_->drawWindows(panel_);
    wholeNext_ = true;
    requestTick();
}

void LivePanel::record(const Json& body)
{
    std::lock_guard lock(mutex_);
    const bool on = flagField(body, "on");
    if (on && !recorder_->on) {
        *recorder_ = Recorder{.on = true, .startFrame = session_->host->frameNumber()};
    } else if (!on && recorder_->on) {
        recorder_->timeAt(*session_->host);
        recorder_->on = false;
    }
}

std::string LivePanel::recording()
{
    std::lock_guard lock(mutex_);
    if (recorder_->on)
        recorder_->timeAt(*session_->host);
    Json variables = Json::object();
    for (const auto& [name, keys] : recorder_->variables)
        variables[name] = keys;
    const Json script{{"name", "Recorded in devhost serve"},
                      {"duration", std::max(1.0, std::ceil(recorder_->lastTime + 1))},
                      {"variables", variables},
                      {"actions", recorder_->actions}};
    return script.dump(2) + "\n";
}

}  // namespace devhost
