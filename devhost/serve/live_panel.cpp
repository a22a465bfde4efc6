#include "devhost/serve/live_panel.h"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "devhost/core/gauge_notes.h"
#include "devhost/core/mouse_map.h"
#include "devhost/core/tooltip_format.h"
#include "devhost/core/values.h"
#include "devhost/render/gauge_painter.h"
#include "devhost/render/lighting.h"
#include "devhost/serve/panel_description.h"
#include "devhost/serve/request_error.h"

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

// The gauge pixel a request names, within the gauge.
Point pointIn(const Json& body, const GaugeInstance& gauge)
{
    const Point pixels = gauge.gaugePixels();
    return {static_cast<int32_t>(integerField(body, "x", 0, pixels.x - 1)),
            static_cast<int32_t>(integerField(body, "y", 0, pixels.y - 1))};
}

// The lens's "size": 2 or 3 times the gauge's placed size, or "own" (its
// own pixels, scale 0 here).
double lensTimes(const Json& query)
{
    const std::string size = textField(query, "size");
    const double times = size == "2" ? 2 : size == "3" ? 3 : size == "own" ? 0 : -1;
    if (times < 0)
        throw RequestError(fmt::format("\"size\" is \"{}\": it must be 2, 3 or own", excerpt(std::string_view(size))));
    return times;
}

}  // namespace

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
      flight_(options.flight.empty() ? FlightInPlay::demo() : FlightInPlay::read(options.flight))
{
    lighting_.colours = panel_.colours;
    std::unique_ptr<PanelSession> session = PanelSession::open(options_.module, panel_, flight_.flight);
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

// Puts a prepared session in place (under the lock); gives the old one
// back, to be let go after the lock.
std::unique_ptr<PanelSession> LivePanel::install(std::unique_ptr<PanelSession> session)
{
    session->lay(panel_, lighting_);
    std::swap(session, session_);
    eventMark_ = {};
    ticks_ = 0;
    wholeNext_ = true;
    playback_.restart();
    ++flightGeneration_;
    return session;
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

// The panel's work of one tick: the flight's frames due, the pictures
// drawn, and the snapshot of what changed.
PanelSnapshot LivePanel::advance()
{
    playFrames();
    const bool whole = wholeNext_;
    wholeNext_ = false;
    std::vector<TilePiece> pieces = redrawnPieces(whole);
    ++ticks_;
    PanelSnapshot now = snapshot(whole, true);
    if (!whole)
        now.tiles = std::move(pieces);
    now.sounds = session_->host->takeClipsPlayed();
    return now;
}

// The flight's frames due at its speed or, without any, a frame of the
// host's own: clocks run, clicks show.
void LivePanel::playFrames()
{
    PanelSession& s = *session_;
    const int flightFrames = playback_.framesDue(s.runner->finished());
    try {
        if (flightFrames == 0)
            s.host->frame();
        for (int i = 0; i < flightFrames && !s.runner->finished(); ++i)
            s.runner->step();
    } catch (const std::exception& error) {
        // The flight stops where it failed; the panel and the server go on.
        playback_.failed(error.what());
    }
    if (s.runner->finished())
        playback_.stop();
}

// Every window drawn; unless `whole`, the pieces of the gauges' tiles that
// the renderer put together again.
std::vector<TilePiece> LivePanel::redrawnPieces(bool whole)
{
    PanelSession& s = *session_;
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
    return pieces;
}

// What the panel shows now; `whole` with every tile and backing. Key
// events: with `markEvents`, those since the last tick (all pages get
// them once); else the latest, for one page starting afresh.
PanelSnapshot LivePanel::snapshot(bool whole, bool markEvents)
{
    PanelSession& s = *session_;
    Host& host = *s.host;
    PanelSnapshot now;
    now.whole = whole;
    now.frame = host.frameNumber();
    now.layout = layoutGeneration_;
    now.playback = {.playing = playback_.playing(),
                    .speed = playback_.speed(),
                    .time = s.runner->time(),
                    .duration = flight_.flight.duration,
                    .name = flight_.flight.name.empty() ? flight_.flight.source : flight_.flight.name,
                    .error = playback_.error()};
    now.recording = {.on = recorder_.on(), .stopped = recorder_.stopped()};
    now.light = lighting_.level;
    for (const VariableInfo& info : knownVariables())
        now.variables.push_back(host.variables().get(info.id));
    takeEvents(now, whole, markEvents);

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

// The host's log keeps a run of one event as one entry; up to a bound,
// with the number left out.
void LivePanel::takeEvents(PanelSnapshot& now, bool whole, bool markEvents)
{
    Host& host = *session_->host;
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
    return describePanel(panel_, *session_, layoutGeneration_);
}

Json LivePanel::click(const Json& body)
{
    std::lock_guard lock(mutex_);
    GaugeInstance& gauge = session_->gaugeOf(body);
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
    if (result.hit)
        recorder_.click(session_->runner->time(), gauge.name(), at.x, at.y, right);
    requestTick();
    return {{"hit", result.hit}, {"handled", result.handled}, {"key_event", result.keyEvent}, {"area", result.areaIndex}};
}

Json LivePanel::hover(const Json& body)
{
    std::lock_guard lock(mutex_);
    GaugeInstance& gauge = session_->gaugeOf(body);
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
        recorder_.setting(session_->runner->time(), v);
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
    PlaybackChange change;
    Flight flight;
    Panel panel;
    uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        change = PlaybackChange::of(body, flight_.flight.duration);
        if (change.seek) {
            flight = flight_.flight;
            panel = panel_;
            generation = flightGeneration_;
        }
    }
    // The flight replayed up to the moment sought without the lock: the
    // panel goes on meanwhile.
    std::unique_ptr<PanelSession> session, old;
    if (change.seek)
        session = seekSession(panel, flight, *change.seek);
    std::lock_guard lock(mutex_);
    if (session) {
        if (generation != flightGeneration_)
            throw RequestError("another flight or moment was chosen meanwhile; seek again", 409);
        old = install(std::move(session));
    }
    playback_.apply(change);
    requestTick();
}

// A session at the moment sought, made without the lock; playing stops if
// the flight fails on the way.
std::unique_ptr<PanelSession> LivePanel::seekSession(const Panel& panel, const Flight& flight, double at)
{
    try {
        std::unique_ptr<PanelSession> session = PanelSession::open(options_.module, panel, flight);
        session->runTo(at);
        return session;
    } catch (const RequestError&) {
        std::lock_guard lock(mutex_);
        playback_.stop();
        throw;
    }
}

void LivePanel::loadFlight(std::string_view scriptText)
{
    FlightInPlay sent = FlightInPlay::sent(scriptText);
    Panel panel;
    uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        panel = panel_;
        generation = layoutGeneration_;
    }
    std::unique_ptr<PanelSession> session, old;
    try {
        session = PanelSession::open(options_.module, panel, sent.flight);
    } catch (const FlightError& error) {
        throw RequestError(error.what());
    }
    session->runTo(0);
    std::lock_guard lock(mutex_);
    if (generation != layoutGeneration_)
        throw RequestError("the layout was edited meanwhile; load the flight again", 409);
    flight_ = std::move(sent);
    playback_.stop();
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
    if (on && !recorder_.on())
        recorder_.begin(session_->runner->time());
    else if (!on)
        recorder_.end(session_->runner->time());
}

Json LivePanel::expectShown(const Json& body)
{
    std::lock_guard lock(mutex_);
    const std::string name = session_->gaugeOf(body).name();
    if (!recorder_.on())
        throw RequestError("expectations are added to a recording: press Record first", 409);
    const double time = session_->runner->time();
    const FlightRecorder::Shown shown = recorder_.expectShown(*session_->host, name, time);
    return {{"gauge", name}, {"time", time}, {"expectations", shown.added}, {"unreadable", shown.unreadable}};
}

std::string LivePanel::lens(const Json& query)
{
    const double times = lensTimes(query);
    std::optional<GaugePicture> picture;
    {
        // Only the drawing needs the panel as it is; the encoding waits for no one.
        std::lock_guard lock(mutex_);
        const GaugeInstance* gauge = nullptr;
        try {
            gauge = &session_->gaugeOf(query);
        } catch (const RequestError& error) {
            throw RequestError(error.what());
        }
        GaugeScale scale;
        if (times > 0) {
            const GaugeScale placed = placedScale(*gauge);
            scale = {placed.x * times, placed.y * times};
        }
        picture.emplace(*gauge, *session_->renderer, scale);
    }
    return picture->png();
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
    PanelSession& s = *session_;
    s.host->followPanel(edited);
    // A window new, or whose visible= changed, opens or closes as the line says.
    for (const PanelWindowSpec& window : edited.windows) {
        const auto before = std::find_if(panel_.windows.begin(), panel_.windows.end(),
                                         [&](const PanelWindowSpec& w) { return w.number == window.number; });
        if (before == panel_.windows.end() || before->visible != window.visible)
            s.host->windows().visible[identOf(window)] = window.visible;
    }
    panel_ = edited;
    s.lay(panel_, lighting_);
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
    std::optional<GaugePicture> picture;
    {
        std::lock_guard lock(mutex_);
        std::unique_ptr<GaugeInstance> gauge;
        try {
            gauge = session_->host->specimen(name);
        } catch (const HostError& error) {
            throw RequestError(error.what(), 404);
        }
        picture.emplace(*gauge, *session_->renderer, GaugeScale{}, 404);
    }
    return picture->png();
}

std::string LivePanel::recording()
{
    std::lock_guard lock(mutex_);
    return recorder_.script(flight_.script, session_->runner->time(), session_->host->options().framesPerSecond);
}

}  // namespace devhost
