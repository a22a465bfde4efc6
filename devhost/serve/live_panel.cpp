#include "devhost/serve/live_panel.h"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>

#include "devhost/core/gauge_notes.h"
#include "devhost/core/mouse_map.h"
#include "devhost/core/text_file.h"
#include "devhost/core/values.h"
#include "devhost/core/tooltip_format.h"
#include "devhost/flight/expectations.h"
#include "devhost/flight/snapshot_json.h"
#include "devhost/render/gauge_painter.h"
#include "devhost/render/lighting.h"
#include "devhost/render/png_writer.h"
#include "devhost/serve/request_error.h"
#include "devhost/serve/tile_encoding.h"

namespace devhost {

namespace {

// Readings come from the module's tooltip code: asked twice a second, not
// every frame.
constexpr uint64_t ReadingsEveryTicks = 9;

using Json = nlohmann::json;

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
        throw RequestError(fmt::format("{}: the value must be a number or a text, not {}", excerpt(std::string_view(name)), excerptOf(value)));
    try {
        return hostValues(target, value.is_string() ? value.get<std::string>() : value.dump());
    } catch (const ValueError& error) {
        throw RequestError(fmt::format("{}: {}", excerpt(std::string_view(name)), error.what()));
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
// loaded or sought. The host and the flight's run up to the moment are made
// without the panel's lock (a seek far into a long flight replays it all);
// the drawing is set up under it.
struct LivePanel::Session {
    std::unique_ptr<Host> host;
    std::unique_ptr<FlightRunner> runner;
    std::unique_ptr<PanelRenderer> renderer;
    std::vector<cairo_surface_t*> pictures;   // per window of the panel, as last drawn
    std::vector<Box> tiles;                   // per gauge: its rectangle within its window's picture
    std::vector<size_t> windowOf;             // per gauge: the index of its window in the panel

    void runTo(double at);

    // Every window's picture as the host shows it now.
    void drawWindows(const Panel& panel)
    {
        for (size_t w = 0; w < panel.windows.size(); ++w)
            pictures[w] = renderer->render(panel.windows[w].number, {panel.windows[w].sizeX, panel.windows[w].sizeY});
    }
};

// The flight the panel plays, and how a recording names it: the built-in
// demo flight by name, any other as the script itself.
struct LivePanel::FlightInPlay {
    Flight flight;
    Json script;
};

// What the user did since recording began, as a flight script's actions
// and keyframes, timed on the flight's clock. Bounded: at its cap it stops
// and keeps what it has.
struct LivePanel::Recorder {
    bool on = false;
    double start = 0;   // flight time when recording began
    double last = 0;
    Json actions = Json::array();
    Json checkpoints = Json::array();
    std::map<std::string, Json> variables;
    size_t entries = 0, bytes = 0;
    std::string stopped;

    // False (and recording stopped) when the entry would pass the cap.
    bool take(const Json& entry)
    {
        const size_t size = entry.dump().size() + 8;
        if (entries + 1 > MaxRecordedEntries || bytes + size > MaxRecordingBytes) {
            on = false;
            stopped = fmt::format("the recording stopped at its cap ({} actions and settings, {} KB of script); "
                                  "what was recorded is kept",
                                  MaxRecordedEntries, MaxRecordingBytes / 1024);
            return false;
        }
        ++entries;
        bytes += size;
        return true;
    }
};

LivePanel::LivePanel(const ServeOptions& options)
    : options_(options),
      panel_(options.panel.empty() ? defaultPanel()
             // To be edited, a panel that places no gauge yet opens: the designer places them.
             : options.edit ? PanelDocument::load(options.panel, {.screenWidth = options.screenWidth}).panel()
                            : loadPanel(options.panel, {.screenWidth = options.screenWidth})),
      editor_(std::make_unique<LayoutEditor>(
          options.panel.empty() ? PanelDocument(defaultPanelText(), panel_.source)
                                : PanelDocument::load(options.panel, {.screenWidth = options.screenWidth}),
          !options.panel.empty())),
      recorder_(std::make_unique<Recorder>()),
      flight_(std::make_unique<FlightInPlay>())
{
    if (options.flight.empty()) {
        flight_->flight = demoFlight();
        flight_->script = std::string(DemoFlightSource);
    } else {
        // Read once: the flight is played from the text, and a recording
        // carries the script itself, so that it replays where the file is
        // not (its path when the text will not parse again).
        const std::string text = readTextFileOrThrow<FlightError>(options.flight, "flight script");
        flight_->flight = parseFlight(text, options.flight);
        flight_->script = Json::parse(text, nullptr, false, true);
        if (flight_->script.is_discarded())
            flight_->script = options.flight;
    }
    lighting_.colours = panel_.colours;
    std::unique_ptr<Session> session = newSession(panel_, flight_->flight);
    session->runTo(0);
    std::lock_guard lock(mutex_);
    install(std::move(session));
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

// A fresh host with the panel placed and the flight ready to run; a
// FlightError when the flight names a gauge the panel lacks (played, the
// click would fail).
std::unique_ptr<LivePanel::Session> LivePanel::newSession(const Panel& panel, const Flight& flight) const
{
    auto session = std::make_unique<Session>();
    session->host = std::make_unique<Host>(options_.module);
    session->host->placePanel(panel);
    checkGauges(flight, *session->host);
    for (const PanelWindowSpec& window : panel.windows)
        session->host->windows().visible[identOf(window)] = window.visible;
    session->runner = std::make_unique<FlightRunner>(*session->host, flight);
    return session;
}

// The flight played up to the moment; a failure there is the request's
// fault (its flight or its moment): 422 with the flight's file, line and problem.
void LivePanel::Session::runTo(double at)
{
    try {
        runner->run(runner->framesBefore(at));
    } catch (const InputError& error) {
        throw RequestError(error.what(), 422);
    }
}

// Puts a prepared session in place (under the lock); gives the old one
// back, to be let go after the lock.
std::unique_ptr<LivePanel::Session> LivePanel::install(std::unique_ptr<Session> session)
{
    lay(*session);
    std::swap(session, session_);
    eventMark_ = {};
    ticks_ = 0;
    wholeNext_ = true;
    flightError_.clear();
    ++flightGeneration_;
    return session;
}

// The drawing set up for the host's gauges as placed now.
void LivePanel::lay(Session& s)
{
    Session* session = &s;
    session->renderer = std::make_unique<PanelRenderer>(*session->host);
    session->renderer->setLighting(lighting_);
    session->pictures.assign(panel_.windows.size(), nullptr);
    session->tiles.clear();
    session->windowOf.clear();
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
}

void LivePanel::start()
{
    ticker_ = std::thread([this] {
        const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(1.0 / frameRate()));
        auto next = std::chrono::steady_clock::now() + period;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                wake_.wait_until(lock, next, [&] { return stopping_ || tickSoon_; });
                if (stopping_)
                    break;
                tickSoon_ = false;
            }
            tick();
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

double LivePanel::frameRate()
{
    std::lock_guard lock(mutex_);
    return session_->host->options().framesPerSecond;
}

void LivePanel::tick()
{
    std::lock_guard ticking(ticking_);
    PanelSnapshot now;
    {
        std::lock_guard lock(mutex_);
        now = advance();
    }
    // Encoding and comparing need no lock: clicks go on meanwhile.
    for (uint32_t clip : now.sounds)
        feed_.publish(soundEvent(clip, now.frame));
    if (now.whole)
        sent_ = {};
    feed_.publish(feedEvent(sent_.message(now)));
}

std::string LivePanel::clip(uint32_t number)
{
    std::lock_guard lock(mutex_);
    const std::span<const unsigned char> bytes = session_->host->moduleResource("WAVE", number);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

uint64_t LivePanel::frameNumber()
{
    std::lock_guard lock(mutex_);
    return session_->host->frameNumber();
}

// The panel's work of one tick: the flight's frames due at its speed (or,
// without any, a frame of its own: clocks run, clicks show), the pictures
// drawn, and the snapshot of what changed.
PanelSnapshot LivePanel::advance()
{
    Session& s = *session_;
    int flightFrames = 0;
    if (playing_ && !s.runner->finished()) {
        due_ += speed_;
        flightFrames = static_cast<int>(due_);
        due_ -= flightFrames;
    }
    try {
        if (flightFrames == 0)
            s.host->frame();
        for (int i = 0; i < flightFrames && !s.runner->finished(); ++i)
            s.runner->step();
    } catch (const std::exception& error) {
        // The flight stops where it failed; the panel and the server go on.
        flightError_ = error.what();
        playing_ = false;
    }
    if (playing_ && s.runner->finished())
        playing_ = false;

    const bool whole = wholeNext_;
    wholeNext_ = false;
    std::vector<TilePiece> pieces;
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
                        pieces.push_back({g, *piece, copyArea(s.pictures[w], *piece)});
    }
    ++ticks_;
    PanelSnapshot now = snapshot(whole, true);
    if (!whole)
        now.tiles = std::move(pieces);
    now.sounds = s.host->takeClipsPlayed();
    return now;
}

// What the panel shows now; `whole` with every tile and backing. Key
// events: with `markEvents`, those since the last tick (all pages get
// them once); else the latest, for one page starting afresh.
PanelSnapshot LivePanel::snapshot(bool whole, bool markEvents)
{
    Session& s = *session_;
    Host& host = *s.host;
    PanelSnapshot now;
    now.whole = whole;
    now.frame = host.frameNumber();
    now.layout = layoutGeneration_;
    now.playback = {.playing = playing_,
                    .speed = speed_,
                    .time = s.runner->time(),
                    .duration = flight_->flight.duration,
                    .name = flight_->flight.name.empty() ? flight_->flight.source : flight_->flight.name,
                    .error = flightError_};
    now.recording = {.on = recorder_->on, .stopped = recorder_->stopped};
    now.light = lighting_.level;
    for (const VariableInfo& info : knownVariables())
        now.variables.push_back(host.variables().get(info.id));

    // The host's log keeps a run of one event as one entry; up to a bound,
    // with the number left out.
    if (whole) {
        const auto& log = host.events();
        now.events.assign(log.end() - std::ptrdiff_t(std::min(log.size(), MaxEventsPerMessage)), log.end());
        if (markEvents)
            host.eventsSince(eventMark_);   // the message carries the latest; the next tells only later ones
    } else {
        now.events = host.eventsSince(eventMark_);
    }
    if (now.events.size() > MaxEventsPerMessage) {
        now.eventsSkipped = now.events.size() - MaxEventsPerMessage;
        now.events.erase(now.events.begin(), now.events.end() - std::ptrdiff_t(MaxEventsPerMessage));
    }

    for (const PanelWindowSpec& window : panel_.windows)
        now.windows.emplace_back(window.number, bool(host.windows().visible[identOf(window)]));

    if (whole || ticks_ % ReadingsEveryTicks == 0) {
        now.readings.emplace();
        for (const auto& gauge : host.gauges())
            now.readings->push_back(gaugeReadings(host, *gauge, host.probe(*gauge)));
    }

    if (whole) {
        for (size_t g = 0; g < s.tiles.size(); ++g)
            if (s.tiles[g].width > 0)
                now.tiles.push_back({g, s.tiles[g], copyArea(s.pictures[s.windowOf[g]], s.tiles[g])});
        for (const PanelWindowSpec& window : panel_.windows) {
            const Box all{0, 0, std::max(1, window.sizeX), std::max(1, window.sizeY)};
            now.backings.emplace_back(window.number, copyArea(s.renderer->backing(window.number, {all.width, all.height}), all));
        }
    }
    return now;
}

FeedMessage LivePanel::wholeState()
{
    PanelSnapshot now;
    {
        std::lock_guard lock(mutex_);
        now = snapshot(true, false);
    }
    // A record of its own: the other pages keep getting changes.
    SentRecord fresh;
    return feedEvent(fresh.message(now));
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
            {"layout", layoutGeneration_},
            {"frames_per_second", host.options().framesPerSecond},
            {"windows", windows},
            {"gauges", gauges},
            {"variables", variables},
            {"speeds", {MinPlaybackSpeed, MaxPlaybackSpeed}},
            {"recording_cap", {{"entries", MaxRecordedEntries}, {"bytes", MaxRecordingBytes}}}};
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
    throw RequestError(fmt::format("no gauge {} on the panel (give its index, 0 to {}, or its name)", excerptOf(which),
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
            throw RequestError(fmt::format("\"button\" is \"{}\": it must be \"left\" or \"right\"", excerpt(std::string_view(button))));
        right = button == "right";
    }
    Host& host = *session_->host;
    const ClickResult result = host.clickGaugePixel(gauge, at, right ? ClickRight : ClickLeft);
    // The click's sound goes out at once, not with the next frame.
    for (uint32_t clip : host.takeClipsPlayed())
        feed_.publish(soundEvent(clip, host.frameNumber()));
    if (recorder_->on && result.hit) {
        Json entry{{"at", session_->runner->time()},
                   {"click", gauge.name()},
                   {"x", at.x},
                   {"y", at.y},
                   {"button", right ? "right" : "left"}};
        if (recorder_->take(entry)) {
            recorder_->last = session_->runner->time();
            recorder_->actions.push_back(std::move(entry));
        }
    }
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
    const std::vector<VariableValue> values = settingOf(body);
    std::lock_guard lock(mutex_);
    Host& host = *session_->host;
    // The values come converted and checked against their variables'
    // ranges, so the store takes them.
    for (const VariableValue& v : values) {
        host.variables().set(v.id, v.value);
        if (recorder_->on) {
            const VariableInfo* info = findVariable(v.id);
            Json& keys = recorder_->variables[info ? std::string(info->name) : std::to_string(v.id)];
            const double time = session_->runner->time();
            // While the flight stands still, the last setting of a moment is the one that counts.
            if (!keys.empty() && keys.back()[0] == time)
                keys.back()[1] = v.value;
            else if (recorder_->take(Json::array({time, v.value})))
                keys.push_back({time, v.value});
            recorder_->last = std::max(recorder_->last, time);
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
        throw RequestError(
            fmt::format("\"action\" is \"{}\": it must be \"open\", \"close\" or \"toggle\"", excerpt(std::string_view(action))));
    requestTick();
}

void LivePanel::playback(const Json& body)
{
    // Every field is checked before any is applied.
    std::optional<bool> play;
    std::optional<double> speed, seek;
    Flight flight;
    Panel panel;
    uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        if (body.contains("play"))
            play = flagField(body, "play");
        if (body.contains("speed"))
            speed = numberField(body, "speed", MinPlaybackSpeed, MaxPlaybackSpeed);
        if (body.contains("seek"))
            seek = numberField(body, "seek", 0, flight_->flight.duration);
        if (!play && !speed && !seek)
            throw RequestError("give \"play\" (true or false), \"speed\" (0.25 to 8) or \"seek\" (seconds)");
        if (seek) {
            flight = flight_->flight;
            panel = panel_;
            generation = flightGeneration_;
        }
    }
    // The flight replayed up to the moment sought without the lock: the
    // panel goes on meanwhile.
    std::unique_ptr<Session> session, old;
    if (seek) {
        try {
            session = newSession(panel, flight);
            session->runTo(*seek);
        } catch (const RequestError&) {
            std::lock_guard lock(mutex_);
            playing_ = false;
            throw;
        }
    }
    {
        std::lock_guard lock(mutex_);
        if (session) {
            if (generation != flightGeneration_)
                throw RequestError("another flight or moment was chosen meanwhile; seek again", 409);
            old = install(std::move(session));
        }
        if (speed)
            speed_ = *speed;
        if (play) {
            playing_ = *play;
            if (*play)
                flightError_.clear();
        }
        due_ = 0;
        requestTick();
    }
}

void LivePanel::loadFlight(std::string_view scriptText)
{
    checkNesting(scriptText);
    Flight flight;
    Json script;
    try {
        flight = parseFlight(scriptText, "the flight sent");
        script = Json::parse(scriptText, nullptr, false, true);
    } catch (const InputError& error) {
        throw RequestError(error.what());
    }
    Panel panel;
    uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        panel = panel_;
        generation = layoutGeneration_;
    }
    std::unique_ptr<Session> session, old;
    try {
        session = newSession(panel, flight);
    } catch (const FlightError& error) {
        throw RequestError(error.what());
    }
    session->runTo(0);
    std::lock_guard lock(mutex_);
    if (generation != layoutGeneration_)
        throw RequestError("the layout was edited meanwhile; load the flight again", 409);
    flight_->flight = std::move(flight);
    flight_->script = std::move(script);
    playing_ = false;
    old = install(std::move(session));
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
        const double now = session_->runner->time();
        *recorder_ = Recorder{.on = true, .start = now, .last = now};
    } else if (!on && recorder_->on) {
        recorder_->last = std::max(recorder_->last, session_->runner->time());
        recorder_->on = false;
    }
}

Json LivePanel::expectShown(const Json& body)
{
    std::lock_guard lock(mutex_);
    const std::string name = gaugeOf(body).name();
    if (!recorder_->on)
        throw RequestError("expectations are added to a recording: press Record first", 409);
    const double time = session_->runner->time();
    size_t added = 0, unreadable = 0;
    // A checkpoint per reading: a script's "expect" names each gauge once.
    for (const Expectation& expectation : expectationsShownNow(*session_->host, name)) {
        try {
            validateExpectation(expectation);   // else the recording would not load again
        } catch (const std::exception&) {
            ++unreadable;
            continue;
        }
        const Json expected = expectation.label.empty() ? Json(expectation.expected)
                                                        : Json{{expectation.label, expectation.expected}};
        Json entry{{"at", time}, {"label", fmt::format("{} as shown", name)}, {"expect", {{name, expected}}}};
        if (!recorder_->take(entry))
            break;
        recorder_->checkpoints.push_back(std::move(entry));
        ++added;
    }
    recorder_->last = std::max(recorder_->last, time);
    return {{"gauge", name}, {"time", time}, {"expectations", added}, {"unreadable", unreadable}};
}

std::string LivePanel::lens(const Json& query)
{
    const std::string size = textField(query, "size");
    const double times = size == "2" ? 2 : size == "3" ? 3 : size == "own" ? 0 : -1;
    if (times < 0)
        throw RequestError(fmt::format("\"size\" is \"{}\": it must be 2, 3 or own", excerpt(std::string_view(size))));
    SurfaceHandle picture;
    {
        // Only the drawing needs the panel as it is; the encoding waits for no one.
        std::lock_guard lock(mutex_);
        const GaugeInstance* gauge = nullptr;
        try {
            gauge = &gaugeOf(query);
        } catch (const RequestError& error) {
            throw RequestError(error.what());
        }
        GaugeScale scale;
        if (times > 0) {
            const GaugeScale placed = placedScale(*gauge);
            scale = {placed.x * times, placed.y * times};
        }
        const Point pixels = gauge->gaugePixels();
        if (pixels.x < 1 || pixels.y < 1)
            throw RequestError(fmt::format("{} has no pixels to draw", gauge->name()));
        const double fit = std::min({1.0, MaxLensSide / (pixels.x * scale.x), MaxLensSide / (pixels.y * scale.y)});
        scale = {scale.x * fit, scale.y * fit};
        picture = renderGauge(*gauge, session_->renderer->images(), scale, {}, session_->renderer->lighting());
    }
    const Box all{0, 0, cairo_image_surface_get_width(picture.get()), cairo_image_surface_get_height(picture.get())};
    return pngBytes(picture.get(), all, {.level = FastPngLevel, .keepAlpha = true});
}

Json LivePanel::layout()
{
    std::lock_guard lock(mutex_);
    Json answer = editor_->describe(*session_->host);
    answer["start_editing"] = options_.edit;
    return answer;
}

// The running panel brought in line with the edited one (under both locks:
// no tick is under way, so no page gets pieces of the old layout after
// being told of the new one).
void LivePanel::followLayout(const Panel& edited)
{
    Session& s = *session_;
    s.host->followPanel(edited);
    // A window new, or whose visible= changed, opens or closes as the line says.
    for (const PanelWindowSpec& window : edited.windows) {
        const auto before = std::find_if(panel_.windows.begin(), panel_.windows.end(),
                                         [&](const PanelWindowSpec& w) { return w.number == window.number; });
        if (before == panel_.windows.end() || before->visible != window.visible)
            s.host->windows().visible[identOf(window)] = window.visible;
    }
    panel_ = edited;
    lay(s);
    wholeNext_ = true;
    ++layoutGeneration_;
    ++flightGeneration_;
    feed_.publish(feedEvent({.header = {{"type", "layout"}, {"frame", s.host->frameNumber()}}}));
}

Json LivePanel::editLayout(const Json& body)
{
    std::lock_guard ticking(ticking_);
    std::lock_guard lock(mutex_);
    editor_->edit(body, *session_->host, [this](const Panel& edited) {
        const Panel before = panel_;
        try {
            followLayout(edited);
        } catch (...) {
            followLayout(before);   // the host may have placed some of the edited panel's gauges
            throw;
        }
    });
    requestTick();
    return editor_->describe(*session_->host);
}

Json LivePanel::saveLayout(const Json& body)
{
    const bool force = body.contains("force") && flagField(body, "force");
    // The file is read and written outside the panel's lock, which a slow
    // disk would otherwise hold; one save at a time.
    std::lock_guard oneSave(saving_);
    LayoutEditor::Saving saving = [&] {
        std::lock_guard lock(mutex_);
        return editor_->saving();
    }();
    if (body.contains("as"))
        saving.saveAs(textField(body, "as"));
    else
        saving.save(force);
    std::lock_guard lock(mutex_);
    editor_->saved(saving);
    return editor_->describe(*session_->host);
}

std::string LivePanel::gaugePicture(std::string_view name)
{
    SurfaceHandle picture;
    {
        std::lock_guard lock(mutex_);
        std::unique_ptr<GaugeInstance> gauge;
        try {
            gauge = session_->host->specimen(name);
        } catch (const HostError& error) {
            throw RequestError(error.what(), 404);
        }
        const Point pixels = gauge->gaugePixels();
        if (pixels.x < 1 || pixels.y < 1)
            throw RequestError(fmt::format("{} has no pixels to draw", gauge->name()), 404);
        const double fit = std::min({1.0, double(MaxLensSide) / pixels.x, double(MaxLensSide) / pixels.y});
        picture = renderGauge(*gauge, session_->renderer->images(), {fit, fit}, {}, session_->renderer->lighting());
    }
    const Box all{0, 0, cairo_image_surface_get_width(picture.get()), cairo_image_surface_get_height(picture.get())};
    return pngBytes(picture.get(), all, {.level = FastPngLevel, .keepAlpha = true});
}

std::string LivePanel::recording()
{
    std::lock_guard lock(mutex_);
    if (recorder_->on)
        recorder_->last = std::max(recorder_->last, session_->runner->time());
    Json variables = Json::object();
    for (const auto& [name, keys] : recorder_->variables)
        variables[name] = keys;
    const Json script{{"name", "Recorded in devhost serve"},
                      {"flight", flight_->script},
                      {"start", recorder_->start},
                      // Up to the frame after the last thing done, where the page showed it.
                      {"duration", recorder_->last + 1 / session_->host->options().framesPerSecond},
                      {"variables", variables},
                      {"actions", recorder_->actions},
                      {"checkpoints", recorder_->checkpoints}};
    return script.dump(2) + "\n";
}

}  // namespace devhost
