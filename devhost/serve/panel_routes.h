// What `devhost serve` answers: one named handler for each request the page
// makes, and the table that routes them. Every request has passed the
// server's guard before it gets here; a handler checks only its own body
// and parameters, and answers a refused one with its reason.
#pragma once

#include <string>
#include <vector>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "devhost/serve/live_panel.h"

namespace devhost {

class ConnectionWatch;

// A plain-text answer (a refusal's reason, or a short acknowledgement).
void answerPlain(httplib::Response& response, int status, const std::string& text);

class PanelRoutes {
public:
    // The watch tells the feed each page's socket, and learns when a
    // request's body has been read.
    PanelRoutes(LivePanel& panel, ConnectionWatch& watch);

    void install(httplib::Server& server);   // every route of the table

private:
    using Request = httplib::Request;
    using Response = httplib::Response;
    using Json = nlohmann::json;
    using Handler = void (PanelRoutes::*)(const Request&, Response&);
    enum class Method { Get, Post };
    struct Route {
        Method method;
        std::string pattern;   // as cpp-httplib matches it (a whole-path regex)
        Handler handle;
    };
    static std::vector<Route> table();

    void page(const Request& request, Response& response);
    void panel(const Request& request, Response& response);
    void feed(const Request& request, Response& response);
    void layout(const Request& request, Response& response);
    void gaugePicture(const Request& request, Response& response);
    void flight(const Request& request, Response& response);
    void clip(const Request& request, Response& response);
    void lens(const Request& request, Response& response);
    void recording(const Request& request, Response& response);
    // Requests that answer with what the panel found, and those that only act.
    template <Json (LivePanel::*Ask)(const Json&)>
    void query(const Request& request, Response& response);
    template <void (LivePanel::*Act)(const Json&)>
    void command(const Request& request, Response& response);

    LivePanel& panel_;
    ConnectionWatch& watch_;
};

}  // namespace devhost
