// The panel running live for `devhost serve`: one Host ticking at its
// frame rate on its own thread, drawn after every tick. Each tick takes a
// snapshot of what the panel shows under the panel's lock; the message to
// the pages (what changed, the pieces of pictures as PNG) is made from the
// snapshot after the lock is let go, and sent once through the change feed
// to every page that watches. Requests from the pages (clicks, hovers,
// settings, playback, light) are checked, then carried out between ticks;
// every call is safe from any thread.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/flight/flight.h"
#include "devhost/flight/flight_recorder.h"
#include "devhost/render/panel_renderer.h"
#include "devhost/serve/change_feed.h"
#include "devhost/serve/feed_message.h"
#include "devhost/serve/flight_in_play.h"
#include "devhost/serve/gauge_picture.h"
#include "devhost/serve/layout_editor.h"
#include "devhost/serve/panel_session.h"
#include "devhost/serve/panel_snapshot.h"
#include "devhost/serve/playback.h"

namespace devhost {

struct ServeOptions {
    std::string module;
    std::string panel;    // empty: the built-in panel
    std::string flight;   // empty: the built-in demo flight
    int screenWidth = PanelScreenWidth;   // chooses the panel's file_NNNN= backgrounds
    bool edit = false;    // the page opens in edit mode
};

// Bounds on what the pages may cost the server.
inline constexpr size_t MaxViewers = 16;
inline constexpr size_t MaxQueuedMessages = 64;   // per viewer: about three seconds of frames
inline constexpr size_t MaxEventsPerMessage = 200;
// The playback's speeds (MinPlaybackSpeed, MaxPlaybackSpeed) are
// Playback's, the recording's cap (MaxRecordedEntries, MaxRecordingBytes)
// the recorder's, the lens's largest side (MaxLensSide) GaugePicture's.

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
    // While recording: checkpoints at the flight's time now expecting what
    // the gauge ("gauge": index or name) shows now, one per reading.
    nlohmann::json expectShown(const nlohmann::json& body);
    // The gauge ("gauge": index or name) drawn alone at the lens's "size":
    // "2" or "3" times its placed size, or "own" (its own pixels), as PNG.
    std::string lens(const nlohmann::json& query);
    // What the user did, as a flight script over the flight it was made
    // over: `devhost run --flight` replays it.
    std::string recording();
    // The bytes of the module's wave clip, as its file holds them; empty if it has none.
    std::string clip(uint32_t number);

    uint64_t frameNumber();

    // Edit mode: the layout as the editor shows it; an edit ("op", see
    // LayoutEditor), which the running panel follows at once (a moved gauge
    // keeps running, a new one starts, a removed one is shut down; every
    // page is told to lay the panel out again and gets the whole state);
    // saving the panel file ("force": over a file changed on disk; "as": a
    // new file beside it, see LayoutEditor::saveAs). Each answers with the
    // layout.
    nlohmann::json layout();
    nlohmann::json editLayout(const nlohmann::json& body);
    nlohmann::json saveLayout(const nlohmann::json& body);
    // A gauge of the module's list drawn at its own size as its records
    // draw it, as PNG (the editor's gauge list).
    std::string gaugePicture(std::string_view name);

private:
    std::unique_ptr<PanelSession> install(std::unique_ptr<PanelSession> session);
    std::unique_ptr<PanelSession> seekSession(const Panel& panel, const Flight& flight, double at);
    void followLayout(const Panel& edited);
    PanelSnapshot advance();
    void playFrames();
    std::vector<TilePiece> redrawnPieces(bool whole);
    PanelSnapshot snapshot(bool whole, bool markEvents);
    void takeEvents(PanelSnapshot& now, bool whole, bool markEvents);
    void requestTick();
    double frameRate();

    const ServeOptions options_;
    ChangeFeed feed_{MaxViewers, MaxQueuedMessages};

    // The panel's own state, under mutex_: held for the panel's work only.
    std::mutex mutex_;
    Panel panel_;                          // as laid out now (edited in edit mode)
    std::unique_ptr<LayoutEditor> editor_;
    uint64_t layoutGeneration_ = 0;        // counts layout edits, so that a session made meanwhile is refused
    std::unique_ptr<PanelSession> session_;
    FlightRecorder recorder_;
    FlightInPlay flight_;
    uint64_t flightGeneration_ = 0;   // counts flights loaded and seeks, so that a slow seek loses to a later one
    Lighting lighting_;
    Playback playback_;
    bool wholeNext_ = false;
    EventMark eventMark_;
    uint64_t ticks_ = 0;

    std::mutex saving_;   // saves of the panel file, one at a time, outside mutex_

    // Ticks, one at a time, and what they told the pages.
    std::mutex ticking_;
    SentRecord sent_;

    std::condition_variable wake_;
    bool tickSoon_ = false, stopping_ = false;
    std::thread ticker_;
};

}  // namespace devhost
