// devhost serve through its HTTP interface, as the page uses it.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include <fmt/format.h>

#include "devhost/core/gauge_notes.h"
#include "devhost/core/host.h"
#include "devhost/core/tooltip_format.h"
#include "devhost/flight/expectations.h"
#include "devhost/serve/panel_server.h"
#include "devhost/serve/request_guard.h"

namespace devhost {
namespace {

using Json = nlohmann::json;
using namespace std::chrono_literals;

// A live panel behind a server on a free port; the test ticks it by hand.
struct Served {
    LivePanel panel{ServeOptions{.module = moduleUnderTest()}};
    ServingThread serving{panel};
    int port = serving.port();
    httplib::Client client{"127.0.0.1", port};

    // The page's own requests carry its origin.
    Served() { client.set_default_headers({{"Origin", "http://127.0.0.1:" + std::to_string(port)}}); }

    httplib::Result post(const std::string& path, const std::string& body) { return client.Post(path, body, "application/json"); }
    size_t gaugeIndex(std::string_view name)
    {
        const Json panelInfo = Json::parse(client.Get("/api/panel")->body);
        for (const Json& g : panelInfo["gauges"])
            if (g["name"] == name)
                return g["index"];
        throw std::runtime_error("no gauge " + std::string(name));
    }
};

// A page's view of the feed: the messages as they arrive, read on a thread of its own.
class FeedReader {
public:
    explicit FeedReader(int port)
        : thread_([this, port] {
              httplib::Client client("127.0.0.1", port);
              FeedFrames frames;
              client.Get("/api/feed", [&](const char* data, size_t size) {
                  frames.add({data, size});
                  while (std::optional<FeedFrame> frame = frames.next()) {
                      std::lock_guard lock(mutex_);
                      messages_.push_back(std::move(*frame));
                      arrived_.notify_all();
                  }
                  return !done_;
              });
          })
    {
    }
    ~FeedReader()
    {
        done_ = true;
        thread_.join();
    }

    // The next message whose frame is at least `frame`, with its pictures.
    FeedFrame nextFrame(uint64_t frame = 0)
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (!arrived_.wait_for(lock, 10s, [&] { return !messages_.empty(); }))
                throw std::runtime_error("the feed went quiet");
            FeedFrame message = std::move(messages_.front());
            messages_.pop_front();
            if (message.header["frame"].get<uint64_t>() >= frame)
                return message;
        }
    }
    Json next(uint64_t frame = 0) { return nextFrame(frame).header; }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<FeedFrame> messages_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

std::set<size_t> tiledGauges(const Json& message)
{
    std::set<size_t> gauges;
    for (const Json& tile : message["tiles"])
        gauges.insert(tile["g"].get<size_t>());
    return gauges;
}

TEST(Serve, SendsPiecesOnlyOfGaugesWhosePictureChanged)
{
    Served served;
    FeedReader feed(served.port);
    const Json whole = feed.next();
    ASSERT_EQ(whole["type"], "whole");
    EXPECT_EQ(whole["tiles"].size(), served.panel.describe()["gauges"].size());

    const size_t airspeed = served.gaugeIndex("Airspeed");
    // The first frames bring every gauge to its starting values; then only the clocks move.
    for (int settle = 0; settle < 3; ++settle)
        served.panel.tick();
    const std::set<size_t> idle = tiledGauges(feed.next(served.panel.frameNumber()));
    EXPECT_FALSE(idle.contains(airspeed));

    ASSERT_EQ(served.post("/api/set", R"({"name": "airspeed", "value": 250})")->status, 200);
    served.panel.tick();
    const std::set<size_t> moved = tiledGauges(feed.next(served.panel.frameNumber()));
    EXPECT_TRUE(moved.contains(airspeed));
    for (size_t g : moved)
        EXPECT_TRUE(g == airspeed || idle.contains(g)) << "gauge " << g << " was sent but did not change";
}

// The renderer lets the pictures of the old light go at once: a page that
// arrives before the next frame gets them drawn in the new one.
TEST(Serve, APageArrivingAfterTheLightChangedSeesTheNewLight)
{
    Served served;
    const FeedFrame day = FeedReader(served.port).nextFrame();
    ASSERT_EQ(served.post("/api/light", R"({"level": 0})")->status, 200);
    const FeedFrame night = FeedReader(served.port).nextFrame();
    EXPECT_EQ(night.header["light"], 0);
    ASSERT_EQ(night.header["tiles"].size(), day.header["tiles"].size());
    EXPECT_NE(night.picture(night.header["tiles"][0]), day.picture(day.header["tiles"][0]));
}

// A key event reaches a page once, though a whole picture went out before
// the frame that would have told it.
TEST(Serve, SendsEachKeyEventOnce)
{
    Served served;
    FeedReader feed(served.port);
    feed.next();
    for (int settle = 0; settle < 3; ++settle)
        served.panel.tick();
    ASSERT_EQ(served.post("/api/light", R"({"level": 0})")->status, 200);
    served.panel.tick();
    const Json whole = feed.next(served.panel.frameNumber());
    ASSERT_EQ(whole["type"], "whole");
    ASSERT_TRUE(whole.contains("events"));
    for (int later = 0; later < 3; ++later) {
        served.panel.tick();
        for (const Json& event : feed.next(served.panel.frameNumber()).value("events", Json::array()))
            // An event carries the frame it ran in, one less than the number after it.
            EXPECT_GE(event["frame"], whole["frame"]) << event.dump();
    }
}

TEST(Serve, ClicksAndHoversAnswerAsDevhostClickAndHover)
{
    Served served;
    served.panel.tick();
    // What `devhost click` and `devhost hover` do: the built-in panel, one frame, then the pointer.
    Host host(moduleUnderTest());
    host.placePanel(defaultPanel());
    host.frame();
    GaugeInstance& radio = *host.find("Radio_COM_SK10");
    const size_t index = served.gaugeIndex("Radio_COM_SK10");

    for (auto [x, y, right] : {std::tuple{218, 250, true}, {45, 46, false}, {150, 40, false}, {218, 250, false}}) {
        const Json request{{"gauge", index}, {"x", x}, {"y", y}, {"button", right ? "right" : "left"}};
        const ClickResult expected = host.clickGaugePixel(radio, {x, y}, right ? ClickRight : ClickLeft);
        host.frame();
        served.panel.tick();
        const Json answer = Json::parse(served.post("/api/click", request.dump())->body);
        served.panel.tick();
        EXPECT_EQ(answer["hit"], expected.hit);
        EXPECT_EQ(answer["handled"], expected.handled);
        EXPECT_EQ(answer["key_event"], expected.keyEvent);
        EXPECT_EQ(answer["area"], expected.areaIndex);
        const Json hover = Json::parse(served.post("/api/hover", request.dump())->body);
        EXPECT_EQ(hover["tooltip"], windows1252ToUtf8(host.hoverGaugePixel(radio, {x, y}))) << x << "," << y;
    }
}

constexpr const char* ClicksNonesuch = R"({"duration": 3, "actions": [{"at": 1, "click": "Nonesuch", "x": 1, "y": 1}]})";

TEST(Serve, RefusesBadRequestsWithAPlainMessageAndChangesNothing)
{
    Served served;
    const Json before = Json::parse(served.client.Get("/api/panel")->body);
    struct Case {
        const char* path;
        const char* body;
        int status;
        const char* says;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"/api/click", R"({"gauge": 999, "x": 1, "y": 1})", 404, "no gauge 999"},
             {"/api/click", R"({"gauge": "Nonesuch", "x": 1, "y": 1})", 404, "no gauge \"Nonesuch\""},
             {"/api/click", R"({"gauge": 2, "x": 300, "y": 1})", 400, "\"x\" is 300: it must be from 0 to 299"},
             {"/api/click", R"({"gauge": 2, "x": 1, "y": -1})", 400, "\"y\" is -1"},
             {"/api/click", R"({"gauge": 2, "x": 1, "y": 1, "button": "middle"})", 400, "\"left\" or \"right\""},
             {"/api/hover", R"({"gauge": 2, "x": 1.5, "y": 1})", 400, "whole number"},
             {"/api/click", "{not json", 400, "must be a JSON object"},
             {"/api/click", "[1, 2]", 400, "must be a JSON object"},
             {"/api/set", R"({"name": "airspede", "value": 250})", 404, "did you mean airspeed?"},
             {"/api/set", R"({"name": "com1_freq", "value": "150.00"})", 400, "136.975"},
             {"/api/set", R"({"name": "airspeed", "value": "fast"})", 400, "\"fast\" is not a number"},
             {"/api/window", R"({"window": 7, "action": "open"})", 404, "no window 7"},
             {"/api/window", R"({"window": 1, "action": "shut"})", 400, "\"open\", \"close\" or \"toggle\""},
             {"/api/playback", R"({"play": true, "speed": 16})", 400, "\"speed\" is 16"},
             {"/api/playback", R"({"seek": -1})", 400, "\"seek\" is -1"},
             {"/api/light", R"({"level": 2})", 400, "\"level\" is 2"},
             {"/api/record", R"({"on": "yes"})", 400, "true or false"},
             {"/api/expect", R"({"gauge": "Airspeed"})", 409, "press Record first"},
             {"/api/flight", R"({"duration": "long"})", 400, "the flight sent"},
             {"/api/flight", ClicksNonesuch, 400, "the flight sent:1: no gauge Nonesuch on the panel"},
         }) {
        const httplib::Result result = served.post(c.path, c.body);
        ASSERT_TRUE(result) << c.path;
        EXPECT_EQ(result->status, c.status) << c.path << " " << c.body;
        EXPECT_NE(result->body.find(c.says), std::string::npos) << c.path << " " << c.body << " -> " << result->body;
    }
    // A value nested 100,000 deep is refused unread; a long bad value is quoted short.
    const std::string deep = R"({"name": "airspeed", "value": )" + std::string(100000, '[') + std::string(100000, ']') + "}";
    EXPECT_EQ(served.post("/api/set", deep)->status, 400);
    std::string ones;
    for (int i = 0; i < 30000; ++i)
        ones += "1,";
    const httplib::Result wide = served.post("/api/click", R"({"gauge": [)" + ones + "1]}");
    EXPECT_EQ(wide->status, 404);
    EXPECT_LT(wide->body.size(), 300u) << wide->body;
    std::string keys;
    for (size_t i = 0; i < MaxJsonObjectKeys; ++i)
        keys += fmt::format(R"("k{}": 0, )", i);
    const httplib::Result tooWide = served.post("/api/set", "{" + keys + R"("name": "airspeed", "value": 250})");
    EXPECT_EQ(tooWide->status, 413);
    EXPECT_NE(tooWide->body.find("more than 10000 keys"), std::string::npos) << tooWide->body;
    // Too large a body is refused before it is read.
    EXPECT_EQ(served.post("/api/flight", std::string(MaxRequestBytes + 1, ' '))->status, 413);

    served.panel.tick();
    FeedReader feed(served.port);
    const Json state = feed.next();
    EXPECT_EQ(state["variables"]["airspeed"]["value"], 0);
    EXPECT_EQ(state["variables"]["com1_freq"]["told"], "118.000 MHz");
    EXPECT_EQ(state["playback"]["playing"], false);
    EXPECT_EQ(state["playback"]["speed"], 1);
    EXPECT_EQ(state["light"], 1);
    EXPECT_EQ(state["windows"], (Json{{"0", true}, {"1", false}, {"2", false}}));
    EXPECT_EQ(state["recording"], false);
}

TEST(Serve, RecordsWhatTheUserDidAsAFlightThatReplays)
{
    Served served;
    const size_t radio = served.gaugeIndex("Radio_COM_SK10");
    served.post("/api/record", R"({"on": true})");
    served.panel.tick();
    served.post("/api/click", Json{{"gauge", radio}, {"x", 45}, {"y", 46}}.dump());
    served.panel.tick();
    served.post("/api/set", R"({"name": "airspeed", "value": 120})");
    served.panel.tick();
    served.post("/api/record", R"({"on": false})");
    const httplib::Result recording = served.client.Get("/api/recording");
    EXPECT_NE(recording->get_header_value("Content-Disposition").find("attachment"), std::string::npos);

    Host host(moduleUnderTest());
    host.placePanel(defaultPanel());
    const Flight flight = parseFlight(recording->body, "recorded");
    FlightRunner runner(host, flight);
    runner.runFor(flight.duration);
    EXPECT_EQ(host.variables().get(61), 120);
    EXPECT_EQ(windows1252ToUtf8(host.hoverGaugePixel(*host.find("Radio_COM_SK10"), {45, 46})), "COM1 main switch (on)");
}

// The recording holds the flight it was made over: replayed, it ends
// where the page stood, with every reading as the page showed it.
TEST(Serve, ARecordingMadeDuringTheDemoFlightReplaysWhatWasSeen)
{
    Served served;
    const size_t radio = served.gaugeIndex("Radio_COM_SK10");
    served.post("/api/record", R"({"on": true})");
    served.post("/api/playback", R"({"play": true, "speed": 8})");
    for (int i = 0; i < 40; ++i)
        served.panel.tick();
    served.post("/api/click", Json{{"gauge", radio}, {"x", 218}, {"y", 250}}.dump());
    for (int i = 0; i < 10; ++i)
        served.panel.tick();
    // The recording runs to the frame after it stopped: the page shows that one.
    served.post("/api/playback", R"({"speed": 1})");
    served.post("/api/record", R"({"on": false})");
    served.panel.tick();
    served.post("/api/playback", R"({"play": false})");
    const Json seen = FeedReader(served.port).next()["readings"];

    const Flight flight = parseFlight(served.client.Get("/api/recording")->body, "recorded.json");
    Host host(moduleUnderTest());
    host.placePanel(defaultPanel());
    FlightRunner(host, flight).runFor(flight.duration);
    ASSERT_EQ(seen.size(), host.gauges().size());
    for (size_t g = 0; g < host.gauges().size(); ++g) {
        GaugeInstance& gauge = *host.gauges()[g];
        EXPECT_EQ(seen[std::to_string(g)], Json(gaugeReadings(host, gauge, host.probe(gauge)))) << gauge.name();
    }
}

// "Expect what is shown now" while recording: the recording's checkpoints
// hold, replayed as `devhost run` checks them.
TEST(Serve, ExpectationsRecordedInThePageHoldWhenReplayed)
{
    Served served;
    served.post("/api/record", R"({"on": true})");
    served.post("/api/playback", R"({"play": true, "speed": 8})");
    for (int i = 0; i < 30; ++i)
        served.panel.tick();
    for (const char* gauge : {"Airspeed", "Artificial_Horizon"})
        EXPECT_EQ(served.post("/api/expect", Json{{"gauge", gauge}}.dump())->status, 200) << gauge;
    served.post("/api/record", R"({"on": false})");

    const Flight flight = parseFlight(served.client.Get("/api/recording")->body, "recorded.json");
    Host host(moduleUnderTest());
    host.placePanel(defaultPanel());
    FlightRunner runner(host, flight);
    size_t checked = 0;
    for (const Checkpoint& checkpoint : flight.checkpoints) {
        runner.run(runner.framesBefore(checkpoint.time) - std::min(runner.framesBefore(checkpoint.time), host.frameNumber()));
        for (const Expectation& expectation : checkpoint.expect) {
            const ExpectationResult result = checkExpectation(host, expectation);
            EXPECT_TRUE(result.passed) << expectation.subject << ": " << expectation.expected << " shown " << result.shown;
            checked += expectation.subject == "Airspeed" || expectation.subject == "Artificial_Horizon";
        }
    }
    EXPECT_GE(checked, 2u);
}

// The lens: one gauge drawn at a larger size, or refused with the reason.
TEST(Serve, TheLensDrawsAGaugeAtItsMagnifiedSize)
{
    Served served;
    const size_t radio = served.gaugeIndex("Radio_COM_SK10");
    const int placedWidth = Json::parse(served.client.Get("/api/panel")->body)["gauges"][radio]["width"];
    const httplib::Result lens = served.client.Get(fmt::format("/api/lens?gauge={}&size=3", radio));
    ASSERT_EQ(lens->status, 200);
    ASSERT_GT(lens->body.size(), 24u);
    const auto byte = [&](size_t i) { return uint32_t(uint8_t(lens->body[i])); };
    EXPECT_EQ(byte(16) << 24 | byte(17) << 16 | byte(18) << 8 | byte(19), uint32_t(3 * placedWidth));   // PNG width
    for (const std::string& query : {fmt::format("gauge={}&size=4", radio), std::string("gauge=999&size=2"), std::string("size=own")})
        EXPECT_EQ(served.client.Get("/api/lens?" + query)->status, 400) << query;
}

// A flight that fails as it plays, or as it is loaded or sought, stops
// there and says why; the panel and the server go on.
TEST(Serve, AFlightThatFailsStopsAndSaysWhere)
{
    Served served;
    const char* removesThenClicks =
        R"({"duration": 5, "actions": [{"at": 0.5, "remove": "Gunsight"}, {"at": 1, "click": "Gunsight", "x": 1, "y": 1}]})";
    ASSERT_EQ(served.post("/api/flight", removesThenClicks)->status, 200);
    const httplib::Result seek = served.post("/api/playback", R"({"seek": 2})");
    EXPECT_EQ(seek->status, 422);
    EXPECT_NE(seek->body.find("the flight sent:1: no gauge \"Gunsight\""), std::string::npos) << seek->body;

    served.post("/api/playback", R"({"play": true, "speed": 8})");
    for (int i = 0; i < 5; ++i)
        served.panel.tick();
    const Json stopped = FeedReader(served.port).next();
    EXPECT_EQ(stopped["playback"]["playing"], false);
    EXPECT_NE(stopped["playback"]["error"].get<std::string>().find("the flight sent:1: no gauge"), std::string::npos);
    EXPECT_EQ(served.post("/api/light", R"({"level": 0})")->status, 200);

    const httplib::Result load = served.post(
        "/api/flight", R"({"actions": [{"at": 0, "remove": "Gunsight"}, {"at": 0, "click": "Gunsight", "x": 1, "y": 1}]})");
    EXPECT_EQ(load->status, 422);
    EXPECT_NE(load->body.find("no gauge \"Gunsight\""), std::string::npos) << load->body;
}

// At its cap a recording stops, says so, and keeps what it has.
TEST(Serve, ARecordingStopsAtItsCap)
{
    Served served;
    const Json click{{"gauge", served.gaugeIndex("Metric_Switch")}, {"x", 48}, {"y", 22}};
    served.panel.record({{"on", true}});
    for (size_t i = 0; i <= MaxRecordedEntries; ++i)
        served.panel.click(click);
    served.panel.tick();
    const Json state = FeedReader(served.port).next();
    EXPECT_EQ(state["recording"], false);
    EXPECT_NE(state.value("recording_stopped", "").find("cap"), std::string::npos);
    EXPECT_EQ(Json::parse(served.panel.recording())["actions"].size(), MaxRecordedEntries);
}

// Played, such a flight would end the server at the click.
TEST(Serve, RefusesAStartingFlightThatClicksAGaugeThePanelLacks)
{
    const std::filesystem::path file = std::filesystem::path(testing::TempDir()) / "clicks_nonesuch.json";
    std::ofstream(file) << ClicksNonesuch;
    try {
        LivePanel panel(ServeOptions{.module = moduleUnderTest(), .flight = file.string()});
        ADD_FAILURE() << "the flight was taken";
    } catch (const FlightError& error) {
        EXPECT_NE(std::string(error.what()).find(file.string() + ":1: no gauge Nonesuch on the panel"), std::string::npos)
            << error.what();
    }
}

// A page that never reads holds its own connection and nothing else: the
// others keep getting every frame, and it is let go.
TEST(Serve, AStalledPageDoesNotStallTheFeed)
{
    Served served;
    const int stalled = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{.sin_family = AF_INET, .sin_port = htons(uint16_t(served.port)), .sin_addr = {htonl(INADDR_LOOPBACK)}};
    ASSERT_EQ(connect(stalled, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string request = "GET /api/feed HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(served.port) + "\r\n\r\n";
    ASSERT_EQ(write(stalled, request.data(), request.size()), ssize_t(request.size()));
    int tiny = 4096;
    setsockopt(stalled, SOL_SOCKET, SO_RCVBUF, &tiny, sizeof tiny);

    FeedReader feed(served.port);
    feed.next();
    // Whole pictures, each far beyond what the stalled socket can hold.
    for (int i = 0; i < int(MaxQueuedMessages) + 8; ++i) {
        served.post("/api/light", i % 2 ? R"({"level": 1})" : R"({"level": 0})");
        served.panel.tick();
    }
    const Json last = feed.next(served.panel.frameNumber());
    EXPECT_EQ(last["frame"], served.panel.frameNumber());

    for (int waited = 0; served.panel.feed().viewers() > 1 && waited < 100; ++waited) {
        served.panel.tick();
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(served.panel.feed().viewers(), 1u);
    close(stalled);
}

// Pages that stop reading, holding every place in the feed, are let go in
// their stated time: a new page gets in.
TEST(Serve, StalledPagesFreeTheirPlacesInTime)
{
    Served served;
    std::vector<int> stalled;
    for (size_t i = 0; i < MaxViewers; ++i) {
        const int connection = socket(AF_INET, SOCK_STREAM, 0);
        int tiny = 4096;
        setsockopt(connection, SOL_SOCKET, SO_RCVBUF, &tiny, sizeof tiny);
        sockaddr_in address{.sin_family = AF_INET, .sin_port = htons(uint16_t(served.port)), .sin_addr = {htonl(INADDR_LOOPBACK)}};
        ASSERT_EQ(connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        const std::string request = "GET /api/feed HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(served.port) + "\r\n\r\n";
        send(connection, request.data(), request.size(), MSG_NOSIGNAL);
        stalled.push_back(connection);
    }
    for (int waited = 0; served.panel.feed().viewers() < MaxViewers && waited < 50; ++waited)
        std::this_thread::sleep_for(100ms);
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    while (status != 200 && std::chrono::steady_clock::now() - start < std::chrono::seconds(StalledViewerSeconds + 5)) {
        httplib::Client page("127.0.0.1", served.port);
        page.Get(
            "/api/feed", [&](const httplib::Response& response) { status = response.status; return false; },
            [](const char*, size_t) { return false; });
        if (status != 200)
            std::this_thread::sleep_for(200ms);
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    for (int connection : stalled)
        close(connection);
    EXPECT_EQ(status, 200);
    EXPECT_LT(waited, std::chrono::seconds(StalledViewerSeconds + 2));
}

// More connections than the server has threads, each sending its request
// a byte at a time, hold none past the time a request has.
TEST(Serve, ConnectionsThatDripTheirRequestAreCut)
{
    Served served;
    std::vector<int> slow;
    for (int i = 0; i < 64; ++i) {
        const int connection = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{.sin_family = AF_INET, .sin_port = htons(uint16_t(served.port)), .sin_addr = {htonl(INADDR_LOOPBACK)}};
        ASSERT_EQ(connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        const std::string head = "GET / HTTP/1.1\r\nX-Slow: ";
        send(connection, head.data(), head.size(), MSG_NOSIGNAL);
        slow.push_back(connection);
    }
    std::atomic<bool> done{false};
    std::thread drip([&] {
        for (; !done; std::this_thread::sleep_for(300ms))
            for (int connection : slow)
                send(connection, "x", 1, MSG_NOSIGNAL);
    });
    const auto start = std::chrono::steady_clock::now();
    httplib::Client fresh("127.0.0.1", served.port);
    fresh.set_read_timeout(RequestSeconds * 3, 0);
    const httplib::Result page = fresh.Get("/style.css");
    const auto waited = std::chrono::steady_clock::now() - start;
    done = true;
    drip.join();
    for (int connection : slow)
        close(connection);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_LT(waited, std::chrono::seconds(RequestSeconds + 2));
}

// What a hostile page, a rebinding name or a stranger on the network sends.
TEST(Serve, OnlyItsOwnPageMayDriveOrReadIt)
{
    const RequestGuard local("127.0.0.1", 8080, ""), remote("0.0.0.0", 8080, "k3y");
    struct Case {
        const RequestGuard& guard;
        RequestFacts request;
        int status;   // 0: served
    };
    const std::string_view json = "application/json", own = "http://localhost:8080";
    for (const Case& c : std::initializer_list<Case>{
             {local, {.method = "GET", .path = "/", .host = "localhost:8080"}, 0},
             {local, {.method = "GET", .path = "/api/feed", .host = "[::1]:8080"}, 0},
             {local, {.method = "GET", .path = "/api/panel", .host = "attacker.example:8080"}, 421},   // rebound name
             {local, {.method = "GET", .path = "/api/panel", .host = "localhost:9999"}, 421},
             {local, {.method = "GET", .path = "/api/panel", .host = "192.168.1.5:8080"}, 421},
             {local, {.method = "POST", .path = "/api/set", .host = "localhost:8080", .origin = own, .contentType = json}, 0},
             {local, {.method = "POST", .path = "/api/set", .host = "localhost:8080", .contentType = json}, 403},
             {local, {.method = "POST", .path = "/api/set", .host = "localhost:8080", .origin = "http://evil.example", .contentType = json}, 403},
             {local, {.method = "POST", .path = "/api/set", .host = "localhost:8080", .origin = own, .contentType = "text/plain"}, 403},
             {local, {.method = "GET", .path = "/api/panel", .host = "localhost:8080", .origin = "http://evil.example"}, 403},
             {local, {.method = "GET", .path = "/api/feed", .host = "localhost:8080", .fetchSite = "cross-site"}, 403},
             {remote, {.method = "GET", .path = "/", .host = "10.0.0.7:8080"}, 401},
             {remote, {.method = "GET", .path = "/", .host = "10.0.0.7:8080", .keyParameter = "k3x"}, 401},
             {remote, {.method = "GET", .path = "/", .host = "10.0.0.7:8080", .keyParameter = "k3y"}, 0},
             {remote, {.method = "GET", .path = "/api/feed", .host = "10.0.0.7:8080", .cookie = "a=b; vardex_key=k3y"}, 0},
             {remote, {.method = "GET", .path = "/", .host = "attacker.example:8080", .keyParameter = "k3y"}, 421},
         }) {
        const std::optional<Refusal> refusal = c.guard.check(c.request);
        EXPECT_EQ(refusal ? refusal->status : 0, c.status) << c.request.method << " " << c.request.path << " Host "
                                                          << c.request.host << " Origin " << c.request.origin;
    }
}

// Every request is judged on its head before any route runs, whatever its
// method or body; a refused one's body is not read, and its connection ends.
TEST(Serve, EveryRequestIsJudgedBeforeAnyRoute)
{
    LivePanel panel{ServeOptions{.module = moduleUnderTest()}};
    ServingThread serving(panel, "k3y");
    const std::string own = fmt::format("127.0.0.1:{}", serving.port()), key = "vardex_key=k3y";
    struct Fault {
        const char* name;
        httplib::Headers headers;
        int status;
    };
    const Fault faults[] = {{"a stranger's Host", {{"Host", "evil.example"}, {"Origin", "http://evil.example"}, {"Cookie", key}}, 421},
                            {"a foreign page", {{"Origin", "http://evil.example"}, {"Cookie", key}}, 403},
                            {"no key", {{"Origin", "http://" + own}}, 401}};
    for (const std::string path : {"/", "/app.js", "/api/panel", "/api/feed", "/api/layout", "/api/gauge-picture?name=Airspeed",
                                   "/api/clip/1", "/api/lens?gauge=2&size=200", "/api/recording", "/api/click", "/api/edit",
                                   "/api/save", "/api/set", "/api/flight", "/api/nonesuch"})
        for (const std::string method : {"GET", "HEAD", "POST", "PUT", "DELETE", "OPTIONS", "PATCH"})
            for (const std::string body : {"", "{}"})
                for (const Fault& fault : faults) {
                    // A page of any site may load the page's own files, not its API.
                    if (fault.status == 403 && !path.starts_with("/api/") && (method == "GET" || method == "HEAD"))
                        continue;
                    httplib::Client client("127.0.0.1", serving.port());
                    httplib::Request request;
                    request.method = method;
                    request.path = path;
                    request.headers = fault.headers;
                    request.headers.emplace("Content-Type", "application/json");
                    request.body = body;
                    const httplib::Result result = client.send(request);
                    ASSERT_TRUE(result) << method << " " << path;
                    EXPECT_EQ(result->status, fault.status)
                        << method << " " << path << " with " << fault.name << (body.empty() ? "" : " and a body");
                }

    const int connection = socket(AF_INET, SOCK_STREAM, 0);
    timeval patience{.tv_sec = 3, .tv_usec = 0};
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in address{.sin_family = AF_INET, .sin_port = htons(uint16_t(serving.port())), .sin_addr = {htonl(INADDR_LOOPBACK)}};
    ASSERT_EQ(connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string head = "GET /api/layout HTTP/1.1\r\nHost: evil.example\r\nContent-Length: 100\r\n\r\n{";
    send(connection, head.data(), head.size(), MSG_NOSIGNAL);
    std::string answer;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = recv(connection, buffer, sizeof buffer, 0)) > 0)
        answer.append(buffer, size_t(got));
    close(connection);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 421")) << answer;
    EXPECT_EQ(got, 0) << "the connection waits for the rest of the body";
}

// A form on another site posts without a preflight: refused, and nothing changes.
TEST(Serve, RefusesAForeignFormAndAServerOnItsPort)
{
    Served served;
    httplib::Client stranger("127.0.0.1", served.port);
    stranger.set_default_headers({{"Origin", "http://evil.example"}});
    EXPECT_EQ(stranger.Post("/api/light", R"({"level": 0})", "text/plain")->status, 403);
    EXPECT_EQ(FeedReader(served.port).next()["light"], 1);

    LivePanel second{ServeOptions{.module = moduleUnderTest()}};
    PanelServer other(second);
    try {
        other.bind("127.0.0.1", served.port);
        ADD_FAILURE() << "a second server took the port";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("port " + std::to_string(served.port) + " is in use"), std::string::npos)
            << error.what();
    }
    EXPECT_THROW(runServer({.module = moduleUnderTest()}, "0.0.0.0", 0), std::runtime_error);
}

}  // namespace
}  // namespace devhost
