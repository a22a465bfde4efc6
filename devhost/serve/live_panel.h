// The panel running live for `devhost serve`: one Host ticking at its
// frame rate on its own thread, drawn after every tick, with what changed
// (pieces of pictures, readings, key events, windows, variables) sent out
// once through the change feed to every page that watches. Requests from
// the pages (clicks, hovers, settings, playback, light) are checked, then
// carried out between ticks; every call is safe from any thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/flight/flight.h"
#include "devhost/render/panel_renderer.h"
#include "devhost/serve/change_feed.h"

namespace devhost {

struct ServeOptions {
    std::string module;
    std::string panel;    // empty: the built-in panel
    std::string flight;   // empty: the built-in demo flight
    int screenWidth = PanelScreenWidth;   // chooses the panel's file_NNNN= backgrounds
};

// Bounds on what the pages may cost the server.
inline constexpr size_t MaxViewers = 16;
inline constexpr size_t MaxQueuedMessages = 64;   // per viewer: about three seconds of frames
inline constexpr size_t MaxEventsPerMessage = 200;
inline constexpr double MinPlaybackSpeed = 0.25, MaxPlaybackSpeed = 8;

class LivePanel {
public:
    explicit LivePanel(const ServeOptions& options);
    ~LivePanel();
    LivePanel(const LivePanel&) = delete;
    LivePanel& operator=(const LivePanel&) = delete;

    // Ticks at the host's frame rate on a thread of its own until destroyed.
    void start();
    // One tick now: the frames due, the pictures, the message to the feed.
    void tick();

    ChangeFeed& feed() { return feed_; }

    // The panel as the page lays it out: windows, gauges, variables, flight.
    nlohmann::json describe();
    // Everything a page that starts afresh needs: whole tiles, backings,
    // every variable, the readings, windows and the latest key events.
    FeedMessage wholeState();

    // The requests; each throws RequestError for bad input and changes nothing then.
    nlohmann::json click(const nlohmann::json& body);
    nlohmann::json hover(const nlohmann::json& body);
    void setVariable(const nlohmann::json& body);
    void showWindow(const nlohmann::json& body);
    void playback(const nlohmann::json& body);
    void loadFlight(std::string_view scriptText);
    void setLight(const nlohmann::json& body);
    void record(const nlohmann::json& body);
    std::string recording();   // what the user did, as a flight script

    uint64_t frameNumber();

private:
    struct Session;
    struct Recorder;

    void rebuild(const Flight& flight, double at);
    void tickLocked();
    nlohmann::json changes(bool whole);
    void requestTick();
    GaugeInstance& gaugeOf(const nlohmann::json& body);
    Point pointIn(const nlohmann::json& body, const GaugeInstance& gauge);

    const ServeOptions options_;
    const Panel panel_;
    ChangeFeed feed_{MaxViewers, MaxQueuedMessages};

    std::mutex mutex_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<Recorder> recorder_;
    Flight flight_;
    Lighting lighting_;
    bool playing_ = false;
    double speed_ = 1, due_ = 0;
    bool wholeNext_ = false;

    // What the pages were last told, to send only changes.
    std::vector<double> variablesSent_;
    EventMark eventMark_;
    std::vector<bool> windowsSent_;
    std::vector<std::vector<std::string>> readingsSent_;
    uint64_t ticks_ = 0;

    std::condition_variable wake_;
    bool tickSoon_ = false, stopping_ = false;
    std::thread ticker_;
};

}  // namespace devhost
