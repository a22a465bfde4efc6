#include "devhost/serve/panel_server.h"

#include <httplib.h>

#include <fmt/format.h>
#include <pthread.h>

#include <csignal>
#include <thread>

#include "devhost/serve/request_error.h"
#include "devhost/serve/web_assets.h"

namespace devhost {

namespace {

using Json = nlohmann::json;

// Threads: one per watching page, and some for the requests beside them.
constexpr size_t RequestThreads = 8;
// How long a page that stopped reading may hold its thread before it is let go.
constexpr time_t StalledViewerSeconds = 2;
// A page that sees nothing new hears a comment now and then, so a gone one is noticed.
constexpr auto FeedIdle = std::chrono::milliseconds(1000);

void answerPlain(httplib::Response& response, int status, const std::string& text)
{
    response.status = status;
    response.set_content(text + "\n", "text/plain; charset=utf-8");
}

// A request handler that answers a refused request with its 4xx and message.
template <typename Handle>
httplib::Server::Handler checked(Handle handle)
{
    return [handle](const httplib::Request& request, httplib::Response& response) {
        try {
            handle(request, response);
        } catch (const RequestError& error) {
            answerPlain(response, error.status(), error.what());
        }
    };
}

void answerJson(httplib::Response& response, const Json& body)
{
    response.set_content(body.dump(), "application/json");
}

}  // namespace

PanelServer::PanelServer(LivePanel& panel) : panel_(panel), server_(std::make_unique<httplib::Server>())
{
    httplib::Server& server = *server_;
    server.new_task_queue = [] { return new httplib::ThreadPool(MaxViewers + RequestThreads); };
    server.set_payload_max_length(MaxRequestBytes);
    server.set_write_timeout(StalledViewerSeconds, 0);
    server.set_keep_alive_timeout(2);

    server.Get("/(|style\\.css|app\\.js)", [](const httplib::Request& request, httplib::Response& response) {
        const WebAsset* asset = findWebAsset(request.path);
        if (!asset)
            return answerPlain(response, 404, "no such page");
        response.set_content(asset->body.data(), asset->body.size(), std::string(asset->contentType).c_str());
    });

    server.Get("/api/panel", [this](const httplib::Request&, httplib::Response& response) {
        answerJson(response, panel_.describe());
    });

    server.Get("/api/feed", [this](const httplib::Request&, httplib::Response& response) {
        std::shared_ptr<ChangeFeed::Subscription> viewer = panel_.feed().subscribe();
        if (!viewer)
            return answerPlain(response, 503, fmt::format("the panel already has {} viewers", MaxViewers));
        response.set_header("Cache-Control", "no-cache");
        response.set_chunked_content_provider(
            "text/event-stream", [this, viewer, started = false](size_t, httplib::DataSink& sink) mutable {
                FeedMessage message;
                if (!started) {
                    started = true;
                    message = panel_.wholeState();
                } else {
                    ChangeFeed::Subscription::Next next = viewer->next(FeedIdle);
                    if (next.closed) {
                        sink.done();
                        return true;
                    }
                    message = next.startAfresh ? panel_.wholeState() : next.message;
                }
                if (!message) {
                    static constexpr std::string_view idle = ": idle\n\n";
                    return sink.write(idle.data(), idle.size());
                }
                return sink.write(message->data(), message->size());
            });
    });

    // Requests that answer with what they found, and those that only act.
    auto query = [&](const char* path, Json (LivePanel::*ask)(const Json&)) {
        server.Post(path, checked([this, ask](const httplib::Request& request, httplib::Response& response) {
            answerJson(response, (panel_.*ask)(parseBody(request.body)));
        }));
    };
    auto command = [&](const char* path, void (LivePanel::*act)(const Json&)) {
        server.Post(path, checked([this, act](const httplib::Request& request, httplib::Response& response) {
            (panel_.*act)(parseBody(request.body));
            answerPlain(response, 200, "done");
        }));
    };
    query("/api/click", &LivePanel::click);
    query("/api/hover", &LivePanel::hover);
    command("/api/set", &LivePanel::setVariable);
    command("/api/window", &LivePanel::showWindow);
    command("/api/playback", &LivePanel::playback);
    command("/api/light", &LivePanel::setLight);
    command("/api/record", &LivePanel::record);
    server.Post("/api/flight", checked([this](const httplib::Request& request, httplib::Response& response) {
                    panel_.loadFlight(request.body);
                    answerPlain(response, 200, "loaded");
                }));
    server.Get("/api/recording", [this](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"recorded_flight.json\"");
        response.set_content(panel_.recording(), "application/json");
    });
}

PanelServer::~PanelServer() { stop(); }

int PanelServer::bind(const std::string& address, int port)
{
    const bool bound = port == 0 ? (port = server_->bind_to_any_port(address.c_str())) > 0
                                 : server_->bind_to_port(address.c_str(), port);
    if (!bound)
        throw std::runtime_error(fmt::format("cannot listen on {}:{} (an address of this machine and a free port "
                                             "from 1 to 65535 are accepted)",
                                             address, port));
    return port;
}

void PanelServer::serve() { server_->listen_after_bind(); }

void PanelServer::stop()
{
    panel_.feed().close();
    server_->stop();
}

}  // namespace devhost

namespace devhost {

int runServer(const ServeOptions& options, const std::string& address, int port)
{
    // Ctrl-C and kill end the server cleanly (the pages' streams closed, the
    // module unloaded). The signals are taken by a thread of our own, before
    // any other thread starts or the module's sound library installs a
    // handler of its own for them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    LivePanel panel(options);
    PanelServer server(panel);
    port = server.bind(address, port);
    const bool ipv6 = address.find(':') != std::string::npos;
    fmt::print("devhost serve: the panel is live at http://{}{}{}:{}/ (Ctrl-C stops it)\n", ipv6 ? "[" : "", address,
               ipv6 ? "]" : "", port);
    std::fflush(stdout);
    panel.start();
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    server.serve();
    // Stopped by a signal, or the server failed: either way the stopper is released.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return 0;
}

}  // namespace devhost
