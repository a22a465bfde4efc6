// `devhost serve`'s web server (cpp-httplib): the page, the change feed as
// a stream of binary frames, and the requests that drive the live panel. Every
// request body is bounded and checked; a refused one gets a 4xx with a
// plain message. The server reads no file a request names, and writes only
// the panel file it was started on when the page saves an edit, or a new
// .cfg file beside it that Save as names (never over an existing file).
// Only the page it serves may use it (see request_guard.h), and no
// connection may hold a thread longer than its work needs.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "devhost/serve/live_panel.h"
#include "devhost/serve/request_guard.h"

namespace httplib {
struct Request;
struct Response;
class Server;
}  // namespace httplib

namespace devhost {

inline constexpr size_t MaxRequestBytes = 256 * 1024;   // a flight script sent from the page fits well
// Time a connection has to send a whole request's head (and body), and to
// start the next one on a kept-alive connection.
inline constexpr int RequestSeconds = 5;
// A page whose feed takes nothing for this long is let go, freeing its place.
inline constexpr int StalledViewerSeconds = 2;

class ConnectionWatch;
class FairPool;
class PanelRoutes;

class PanelServer {
public:
    explicit PanelServer(LivePanel& panel);
    ~PanelServer();
    PanelServer(const PanelServer&) = delete;
    PanelServer& operator=(const PanelServer&) = delete;

    // Binds to the address; port 0 takes a free one. Returns the port, or
    // throws std::runtime_error naming the address (and the port when it is
    // in use: one server per port, never shared). A key, when given, must
    // come with every request (?key= or the cookie the page gets).
    int bind(const std::string& address, int port, const std::string& key = {});
    void serve();   // until stop()
    void stop();

private:
    void configureTransport();   // timeouts, limits, threads and headers
    void installGuard();         // judges every request before its route
    // Answers a request that the guard refuses.
    bool refused(const httplib::Request& request, httplib::Response& response) const;

    LivePanel& panel_;
    std::unique_ptr<FairPool> pool_;
    std::unique_ptr<ConnectionWatch> watch_;
    std::unique_ptr<httplib::Server> server_;
    std::unique_ptr<PanelRoutes> routes_;
    std::unique_ptr<RequestGuard> guard_;
    int port_ = 0;   // bound to
};

// A server on a free loopback port, serving on a thread of its own until
// it is destroyed (for tests and benchmarks that drive it as pages would),
// asking for the key when one is given.
class ServingThread {
public:
    explicit ServingThread(LivePanel& panel, const std::string& key = {});
    ~ServingThread();
    ServingThread(const ServingThread&) = delete;
    ServingThread& operator=(const ServingThread&) = delete;

    int port() const { return port_; }

private:
    PanelServer server_;
    int port_;
    std::thread thread_;
};

// `devhost serve`: the panel live at the address, until the process ends.
// Prints the address to open. An address beyond this machine is refused
// unless allowRemote, and then served with a key.
int runServer(const ServeOptions& options, const std::string& address, int port, bool allowRemote = false);

}  // namespace devhost
