#include "devhost/serve/panel_server.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <malloc.h>
#include <fmt/format.h>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <thread>

#include "devhost/serve/connection_watch.h"
#include "devhost/serve/panel_routes.h"

namespace devhost {

namespace {

// Threads: one per watching page, and those for the requests beside them;
// a kept-alive connection gives its thread up as soon as another waits.
constexpr size_t RequestThreads = 32;
constexpr int KeptAliveRequests = 1000;
constexpr int KeptAliveIdleSeconds = 2;

// Why a bind failed: a port already in use is said as such.
std::string bindFailure(const std::string& address, int port)
{
    const bool ipv6 = address.find(':') != std::string::npos;
    const int probe = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    bool inUse = false;
    if (probe >= 0) {
        sockaddr_storage where{};
        socklen_t length = 0;
        if (ipv6) {
            auto& v6 = reinterpret_cast<sockaddr_in6&>(where);
            v6.sin6_family = AF_INET6;
            v6.sin6_port = htons(uint16_t(port));
            inUse = inet_pton(AF_INET6, address.c_str(), &v6.sin6_addr) == 1;
            length = sizeof v6;
        } else {
            auto& v4 = reinterpret_cast<sockaddr_in&>(where);
            v4.sin_family = AF_INET;
            v4.sin_port = htons(uint16_t(port));
            inUse = inet_pton(AF_INET, address.c_str(), &v4.sin_addr) == 1;
            length = sizeof v4;
        }
        inUse = inUse && ::bind(probe, reinterpret_cast<sockaddr*>(&where), length) != 0 && errno == EADDRINUSE;
        close(probe);
    }
    if (inUse)
        return fmt::format("port {} is in use on {} (another devhost serve?): choose another with --port, or --port 0 "
                           "for a free one", port, address);
    return fmt::format("cannot listen on {}:{} (an address of this machine and a free port from 1 to 65535 are "
                       "accepted)", address, port);
}

// The library's connections, each bounded by the watch from the moment a
// thread takes it up. The library deletes the queue it is given when it
// stops listening; the pool it hands them to lives as long as the server.
class ConnectionQueue : public httplib::TaskQueue {
public:
    ConnectionQueue(FairPool& pool, ConnectionWatch& watch, int port) : pool_(pool), watch_(watch), port_(port) {}

    void enqueue(std::function<void()> serve) override
    {
        // Called just after the library accepted the connection, and before it accepts another.
        pool_.enqueue([&watch = watch_, accepted = watch_.claimAccepted(port_), serve = std::move(serve)] {
            ConnectionWatch::Scope scope(watch, accepted, std::chrono::seconds(RequestSeconds));
            serve();
        });
    }
    void shutdown() override { pool_.shutdown(); }

private:
    FairPool& pool_;
    ConnectionWatch& watch_;
    int port_;
};

}  // namespace

PanelServer::PanelServer(LivePanel& panel)
    : panel_(panel),
      pool_(std::make_unique<FairPool>(MaxViewers + RequestThreads)),
      watch_(std::make_unique<ConnectionWatch>()),
      server_(std::make_unique<httplib::Server>()),
      routes_(std::make_unique<PanelRoutes>(panel, *watch_))
{
    configureTransport();
    installGuard();
    routes_->install(*server_);
}

void PanelServer::configureTransport()
{
    httplib::Server& server = *server_;
    server.new_task_queue = [this] { return new ConnectionQueue(*pool_, *watch_, port_); };
    // Small answers go out at once, not after the peer's delayed
    // acknowledgement of the previous one (40 ms on kept-alive connections).
    server.set_tcp_nodelay(true);
    // Only SO_REUSEADDR: a restart finds its port free at once, while a
    // port another server listens on is refused (SO_REUSEPORT would let
    // both listen and share the pages between them).
    server.set_socket_options([](socket_t sock) {
        const int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    watch_->setWaiting([this] { return pool_->waiting(); });
    server.set_payload_max_length(MaxRequestBytes);
    server.set_read_timeout(RequestSeconds, 0);
    server.set_write_timeout(StalledViewerSeconds, 0);
    server.set_keep_alive_timeout(KeptAliveIdleSeconds);
    server.set_keep_alive_max_count(KeptAliveRequests);
    server.set_default_headers({{"X-Frame-Options", "DENY"},
                                {"Content-Security-Policy", "frame-ancestors 'none'"},
                                {"Cross-Origin-Resource-Policy", "same-origin"},
                                {"X-Content-Type-Options", "nosniff"}});
}

void PanelServer::installGuard()
{
    httplib::Server& server = *server_;
    // Every request is judged here, on its head, before any route runs and
    // whatever its method or body. A refused one's body is never read: the
    // connection is ended after the answer, since what is left of the body
    // would otherwise be read as the next request.
    server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        // Bytes that came after the last answer on an ended connection are no request.
        if (watch_->ended(request)) {
            response.set_header("Connection", "close");
            answerPlain(response, 400, "this connection has ended");
            return httplib::Server::HandlerResponse::Handled;
        }
        const bool bodyFollows =
            request.get_header_value<uint64_t>("Content-Length") > 0 || request.has_header("Transfer-Encoding");
        if (bodyFollows)
            watch_->expect(request, std::chrono::seconds(RequestSeconds));
        else
            watch_->busy(request);
        if (!refused(request, response))
            return httplib::Server::HandlerResponse::Unhandled;
        if (bodyFollows)
            response.set_header("Connection", "close");
        return httplib::Server::HandlerResponse::Handled;
    });
    // A kept-alive connection holds its thread only while no other waits.
    server.set_post_routing_handler([this](const httplib::Request&, httplib::Response& response) {
        if (pool_->waiting() > 0)
            response.set_header("Connection", "close");
    });
    server.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        if (response.get_header_value("Connection") == "close")
            watch_->endAfterAnswer(request);
        else
            watch_->idle(request, std::chrono::seconds(RequestSeconds));
    });
}

PanelServer::~PanelServer() { stop(); }

bool PanelServer::refused(const httplib::Request& request, httplib::Response& response) const
{
    const std::string host = request.get_header_value("Host"), origin = request.get_header_value("Origin"),
                      fetchSite = request.get_header_value("Sec-Fetch-Site"),
                      contentType = request.get_header_value("Content-Type"), key = request.get_param_value("key"),
                      cookie = request.get_header_value("Cookie");
    const RequestFacts facts{.method = request.method,
                             .path = request.path,
                             .host = host,
                             .origin = origin,
                             .fetchSite = fetchSite,
                             .contentType = contentType,
                             .keyParameter = key,
                             .cookie = cookie};
    if (const std::optional<Refusal> refusal = guard_->check(facts)) {
        answerPlain(response, refusal->status, refusal->message);
        return true;
    }
    // The key came in the address: the page keeps it as a cookie from now on.
    if (!guard_->key().empty() && !key.empty())
        response.set_header("Set-Cookie", guard_->keyCookie());
    return false;
}

int PanelServer::bind(const std::string& address, int port, const std::string& key)
{
    const bool bound = port == 0 ? (port = server_->bind_to_any_port(address.c_str())) > 0
                                 : server_->bind_to_port(address.c_str(), port);
    if (!bound)
        throw std::runtime_error(bindFailure(address, port));
    guard_ = std::make_unique<RequestGuard>(address, port, key);
    port_ = port;
    return port;
}

void PanelServer::serve() { server_->listen_after_bind(); }

void PanelServer::stop()
{
    panel_.feed().close();
    server_->stop();
}

ServingThread::ServingThread(LivePanel& panel, const std::string& key)
    : server_(panel), port_(server_.bind("127.0.0.1", 0, key)), thread_([this] { server_.serve(); })
{
}

ServingThread::~ServingThread()
{
    server_.stop();
    thread_.join();
}

int runServer(const ServeOptions& options, const std::string& address, int port, bool allowRemote)
{
    const bool remote = !isLoopback(address);
    if (remote && !allowRemote)
        throw std::runtime_error(fmt::format(
            "--bind {} would serve every control of the panel to the network; add --allow-remote if that is meant "
            "(the address printed then carries a key that every page must give)",
            address));

    // Ctrl-C and kill end the server cleanly (the pages' streams closed, the
    // module unloaded). The signals are taken by a thread of our own, before
    // any other thread starts or the module's sound library installs a
    // handler of its own for them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // Every page's whole state is megabytes built on the thread that serves
    // it. Left to itself the allocator keeps such blocks in that thread's
    // own arena once one is freed, and so the memory the first pages took
    // stays taken (a few hundred megabytes). Large blocks are mapped and
    // unmapped instead, and the threads share a few arenas.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_ARENA_MAX, 4);

    LivePanel panel(options);
    PanelServer server(panel);
    const std::string key = remote ? randomKey() : std::string();
    port = server.bind(address, port, key);
    const bool ipv6 = address.find(':') != std::string::npos;
    std::string shownHost = ipv6 ? "[" + address + "]" : address;
    if (address == "0.0.0.0" || address == "::") {
        char name[256] = {};
        gethostname(name, sizeof name - 1);
        shownHost = name;
    }
    if (remote)
        std::cerr << fmt::format("devhost serve: warning: the panel is served to the network on {}: anyone who has "
                                 "the address below, key included, can drive it\n",
                                 address);
    fmt::print("devhost serve: the panel is live at http://{}:{}/{} (Ctrl-C stops it)\n", shownHost, port,
               key.empty() ? "" : "?key=" + key);
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
