// `devhost serve`'s web server (cpp-httplib): the page, the change feed as
// server-sent events, and the requests that drive the live panel. Every
// request body is bounded and checked; a refused one gets a 4xx with a
// plain message. No request names a file: the server reads and writes none.
#pragma once

#include <memory>
#include <string>

#include "devhost/serve/live_panel.h"

namespace httplib {
class Server;
}

namespace devhost {

inline constexpr size_t MaxRequestBytes = 256 * 1024;   // a flight script sent from the page fits well

class PanelServer {
public:
    explicit PanelServer(LivePanel& panel);
    ~PanelServer();
    PanelServer(const PanelServer&) = delete;
    PanelServer& operator=(const PanelServer&) = delete;

    // Binds to the address; port 0 takes a free one. Returns the port, or
    // throws std::runtime_error naming the address.
    int bind(const std::string& address, int port);
    void serve();   // until stop()
    void stop();

private:
    LivePanel& panel_;
    std::unique_ptr<httplib::Server> server_;
};

}  // namespace devhost

namespace devhost {

// `devhost serve`: the panel live at the address, until the process ends.
// Prints the address to open.
int runServer(const ServeOptions& options, const std::string& address, int port);

}  // namespace devhost
