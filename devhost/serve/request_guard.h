// Who may use `devhost serve`: only the page it serves, reached at an
// address of this machine. Any other web page the user has open can send
// requests to a loopback port too (a form or a fetch with a plain content
// type needs no permission), and a name of the attacker's that is made to
// resolve to 127.0.0.1 (DNS rebinding) would let it read the answers. So:
//   - the Host header must name the loopback (or the bound address), else 421;
//   - requests that change anything must come from the page's own origin
//     and carry JSON, which a foreign page cannot send without a preflight
//     that this server never grants, else 403;
//   - the feed and the API refuse pages of other origins, else 403;
//   - served beyond this machine, every request carries the key printed
//     with the address (a query parameter once, then the cookie it sets),
//     else 401.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace devhost {

struct RequestFacts {
    std::string_view method;        // "GET", "POST", ...
    std::string_view path;
    std::string_view host;          // the Host header
    std::string_view origin;        // the Origin header, empty when absent
    std::string_view fetchSite;     // Sec-Fetch-Site, empty when absent
    std::string_view contentType;
    std::string_view keyParameter;  // ?key=
    std::string_view cookie;        // the Cookie header
};

struct Refusal {
    int status;
    std::string message;
};

class RequestGuard {
public:
    // `key` empty: loopback only, no key asked for.
    RequestGuard(std::string boundAddress, int port, std::string key);

    std::optional<Refusal> check(const RequestFacts& request) const;
    // Whether a Host header names this server as a page may reach it.
    bool hostAllowed(std::string_view host) const;

    const std::string& key() const { return key_; }
    // The cookie that keeps the key for the page once it came with ?key=.
    std::string keyCookie() const;
    bool keyGiven(const RequestFacts& request) const;

private:
    std::string boundAddress_;
    int port_;
    std::string key_;
    bool wildcard_;
    std::string machineName_;
};

// Loopback addresses and names: 127.0.0.0/8, ::1, localhost.
bool isLoopback(std::string_view address);
// A fresh random key of 32 hexadecimal digits.
std::string randomKey();

}  // namespace devhost
