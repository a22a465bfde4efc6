#include "devhost/serve/panel_routes.h"

#include <malloc.h>
#include <fmt/format.h>
#include <linux/sockios.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "devhost/serve/connection_watch.h"
#include "devhost/serve/panel_server.h"
#include "devhost/serve/request_error.h"
#include "devhost/serve/web_assets.h"

namespace devhost {

namespace {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

// A page that sees nothing new hears a comment now and then, so a gone one is noticed.
constexpr auto FeedIdle = std::chrono::milliseconds(1000);
// While more than this is sent and not yet taken by a page, nothing more
// is sent to it (its messages wait in the feed, which drops them if it
// stays behind); if it stays so for StalledViewerSeconds it is let go.
constexpr int UntakenBytes = 64 * 1024;

void answerJson(httplib::Response& response, const Json& body)
{
    response.set_content(body.dump(), "application/json");
}

// Bytes written to the socket that the peer has not yet acknowledged.
int untaken(int socket)
{
    int bytes = 0;
    return socket >= 0 && ioctl(socket, SIOCOUTQ, &bytes) == 0 ? bytes : 0;
}

// The page's files, as one pattern: the list of them is web_assets.cpp's.
std::string assetPattern()
{
    std::string pattern;
    for (const WebAsset& asset : webAssets()) {
        pattern += pattern.empty() ? "(" : "|";
        for (const char c : asset.path)
            pattern += std::string(c == '.' ? "\\" : "") + c;
    }
    return pattern + ")";
}

// One page's feed, as the library asks for it piece by piece: the whole
// state first, then each change, and an idle frame when nothing changes.
class FeedStream {
public:
    FeedStream(LivePanel& panel, std::shared_ptr<ChangeFeed::Subscription> viewer, int socket)
        : panel_(panel), viewer_(std::move(viewer)), socket_(socket)
    {
    }

    bool operator()(size_t, httplib::DataSink& sink)
    {
        if (untaken(socket_) > UntakenBytes)
            return waitForPage();
        stalledSince_ = {};
        FeedMessage message;
        if (!started_) {
            started_ = true;
            message = panel_.wholeState();
        } else {
            ChangeFeed::Subscription::Next next = viewer_->next(FeedIdle);
            if (next.closed) {
                sink.done();
                return true;
            }
            message = next.startAfresh ? panel_.wholeState() : next.message;
        }
        if (!message)
            return sink.write(IdleFrame.data(), IdleFrame.size());
        return sink.write(message->data(), message->size());
    }

private:
    // A page that takes nothing is sent nothing more (waited on a little
    // here), and let go in time.
    bool waitForPage()
    {
        const auto now = Clock::now();
        if (stalledSince_ == Clock::time_point())
            stalledSince_ = now;
        if (now - stalledSince_ > std::chrono::seconds(StalledViewerSeconds))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return true;
    }

    LivePanel& panel_;
    std::shared_ptr<ChangeFeed::Subscription> viewer_;
    int socket_;
    bool started_ = false;
    Clock::time_point stalledSince_;
};

}  // namespace

void answerPlain(httplib::Response& response, int status, const std::string& text)
{
    response.status = status;
    response.set_content(text + "\n", "text/plain; charset=utf-8");
}

PanelRoutes::PanelRoutes(LivePanel& panel, ConnectionWatch& watch) : panel_(panel), watch_(watch) {}

std::vector<PanelRoutes::Route> PanelRoutes::table()
{
    using enum Method;
    return {
        {Get, assetPattern(), &PanelRoutes::page},
        {Get, "/api/panel", &PanelRoutes::panel},
        {Get, "/api/feed", &PanelRoutes::feed},
        {Post, "/api/click", &PanelRoutes::query<&LivePanel::click>},
        {Post, "/api/hover", &PanelRoutes::query<&LivePanel::hover>},
        {Post, "/api/expect", &PanelRoutes::query<&LivePanel::expectShown>},
        // Edit mode: the layout, an edit of it, and writing the panel file
        // named when serving started (never a file the request names).
        {Post, "/api/edit", &PanelRoutes::query<&LivePanel::editLayout>},
        {Post, "/api/save", &PanelRoutes::query<&LivePanel::saveLayout>},
        {Get, "/api/layout", &PanelRoutes::layout},
        {Get, "/api/gauge-picture", &PanelRoutes::gaugePicture},
        {Post, "/api/set", &PanelRoutes::command<&LivePanel::setVariable>},
        {Post, "/api/window", &PanelRoutes::command<&LivePanel::showWindow>},
        {Post, "/api/playback", &PanelRoutes::command<&LivePanel::playback>},
        {Post, "/api/light", &PanelRoutes::command<&LivePanel::setLight>},
        {Post, "/api/record", &PanelRoutes::command<&LivePanel::record>},
        {Post, "/api/flight", &PanelRoutes::flight},
        {Get, R"(/api/clip/(\d{1,9}))", &PanelRoutes::clip},
        {Get, "/api/lens", &PanelRoutes::lens},
        {Get, "/api/recording", &PanelRoutes::recording},
    };
}

void PanelRoutes::install(httplib::Server& server)
{
    for (const Route& route : table()) {
        // A body, once read, is worked on with no deadline; a request
        // refused for what it holds is answered with its reason.
        auto handler = [this, handle = route.handle, post = route.method == Method::Post](const Request& request,
                                                                                           Response& response) {
            if (post)
                watch_.busy(request);
            try {
                (this->*handle)(request, response);
            } catch (const RequestError& error) {
                answerPlain(response, error.status(), error.what());
            }
        };
        if (route.method == Method::Get)
            server.Get(route.pattern, handler);
        else
            server.Post(route.pattern, handler);
    }
}

void PanelRoutes::page(const Request& request, Response& response)
{
    const WebAsset* asset = findWebAsset(request.path);
    if (!asset)
        return answerPlain(response, 404, "no such page");
    response.set_content(asset->body.data(), asset->body.size(), std::string(asset->contentType).c_str());
}

void PanelRoutes::panel(const Request&, Response& response) { answerJson(response, panel_.describe()); }

void PanelRoutes::feed(const Request& request, Response& response)
{
    std::shared_ptr<ChangeFeed::Subscription> viewer = panel_.feed().subscribe();
    if (!viewer)
        return answerPlain(response, 503, fmt::format("the panel already has {} viewers", MaxViewers));
    response.set_header("Cache-Control", "no-cache");
    response.set_chunked_content_provider("application/octet-stream",
                                          FeedStream(panel_, std::move(viewer), watch_.socketOf(request)),
                                          // What the page's whole state took on this thread's heap goes
                                          // back to the system once the page is gone.
                                          [](bool) { malloc_trim(0); });
}

template <nlohmann::json (LivePanel::*Ask)(const nlohmann::json&)>
void PanelRoutes::query(const Request& request, Response& response)
{
    answerJson(response, (panel_.*Ask)(parseBody(request.body)));
}

template <void (LivePanel::*Act)(const nlohmann::json&)>
void PanelRoutes::command(const Request& request, Response& response)
{
    (panel_.*Act)(parseBody(request.body));
    answerPlain(response, 200, "done");
}

void PanelRoutes::layout(const Request&, Response& response) { answerJson(response, panel_.layout()); }

void PanelRoutes::gaugePicture(const Request& request, Response& response)
{
    response.set_header("Cache-Control", "max-age=3600");
    response.set_content(panel_.gaugePicture(request.get_param_value("name")), "image/png");
}

void PanelRoutes::flight(const Request& request, Response& response)
{
    panel_.loadFlight(request.body);
    answerPlain(response, 200, "loaded");
}

// The clips the module's switches play, from its own resources, for the page to sound.
void PanelRoutes::clip(const Request& request, Response& response)
{
    const std::string bytes = panel_.clip(uint32_t(std::stoul(request.matches[1])));
    if (bytes.empty())
        return answerPlain(response, 404, "the module has no such clip");
    response.set_header("Cache-Control", "max-age=3600");
    response.set_content(bytes, "audio/wav");
}

// One gauge drawn at the lens's size, so that small print can be read.
void PanelRoutes::lens(const Request& request, Response& response)
{
    Json query = {{"size", request.get_param_value("size")}};
    const std::string gauge = request.get_param_value("gauge");
    query["gauge"] = !gauge.empty() && gauge.size() < 10 && std::all_of(gauge.begin(), gauge.end(), ::isdigit)
                         ? Json(std::stoll(gauge))
                         : Json(gauge);
    response.set_header("Cache-Control", "no-store");
    response.set_content(panel_.lens(query), "image/png");
}

void PanelRoutes::recording(const Request&, Response& response)
{
    response.set_header("Content-Disposition", "attachment; filename=\"recorded_flight.json\"");
    response.set_content(panel_.recording(), "application/json");
}

}  // namespace devhost
