#include "devhost/serve/request_guard.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <random>

#include <fmt/format.h>

namespace devhost {

namespace {

constexpr std::string_view KeyCookieName = "vardex_key";

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

bool isIpLiteral(const std::string& name)
{
    unsigned char bytes[16];
    return inet_pton(AF_INET, name.c_str(), bytes) == 1 || inet_pton(AF_INET6, name.c_str(), bytes) == 1;
}

// Keys compared in time that does not depend on where they differ.
bool sameKey(std::string_view given, std::string_view key)
{
    if (given.size() != key.size())
        return false;
    unsigned char difference = 0;
    for (size_t i = 0; i < key.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ key[i]);
    return difference == 0;
}

struct HostAndPort {
    std::string name;   // lower case, IPv6 without brackets
    int port = 80;
    bool valid = false;
};

HostAndPort splitHost(std::string_view host)
{
    HostAndPort out;
    std::string_view port;
    if (host.starts_with('[')) {
        const size_t close = host.find(']');
        if (close == std::string_view::npos)
            return out;
        out.name = lowered(host.substr(1, close - 1));
        const std::string_view rest = host.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':'))
            return out;
        port = rest.empty() ? rest : rest.substr(1);
    } else {
        const size_t colon = host.find(':');
        if (host.find(':', colon == std::string_view::npos ? colon : colon + 1) != std::string_view::npos)
            return out;   // an IPv6 address without brackets is no Host header
        out.name = lowered(host.substr(0, colon));
        port = colon == std::string_view::npos ? std::string_view() : host.substr(colon + 1);
    }
    if (out.name.ends_with('.'))
        out.name.pop_back();
    if (!port.empty()) {
        if (port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return out;
        out.port = std::stoi(std::string(port));
    }
    out.valid = !out.name.empty();
    return out;
}

std::string_view cookieValue(std::string_view cookies, std::string_view name)
{
    while (!cookies.empty()) {
        const size_t end = std::min(cookies.find(';'), cookies.size());
        std::string_view pair = cookies.substr(0, end);
        cookies.remove_prefix(std::min(end + 1, cookies.size()));
        while (pair.starts_with(' '))
            pair.remove_prefix(1);
        if (pair.starts_with(name) && pair.substr(name.size()).starts_with('='))
            return pair.substr(name.size() + 1);
    }
    return {};
}

}  // namespace

bool isLoopback(std::string_view address)
{
    const std::string name = lowered(address);
    if (name == "localhost" || name.ends_with(".localhost") || name == "::1")
        return true;
    in_addr v4{};
    return inet_pton(AF_INET, name.c_str(), &v4) == 1 && (ntohl(v4.s_addr) >> 24) == 127;
}

std::string randomKey()
{
    std::random_device entropy;
    std::string key;
    for (int i = 0; i < 4; ++i)
        key += fmt::format("{:08x}", entropy());
    return key;
}

RequestGuard::RequestGuard(std::string boundAddress, int port, std::string key)
    : boundAddress_(lowered(boundAddress)), port_(port), key_(std::move(key)),
      wildcard_(boundAddress_ == "0.0.0.0" || boundAddress_ == "::" || boundAddress_.empty())
{
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) == 0)
        machineName_ = lowered(name.data());
}

bool RequestGuard::hostAllowed(std::string_view host) const
{
    const HostAndPort given = splitHost(host);
    if (!given.valid || given.port != port_)
        return false;
    if (isLoopback(given.name) || given.name == boundAddress_)
        return true;
    // Served on every address, the machine is reached by any of its
    // addresses or its own name; an IP address cannot be rebound, a name can.
    return wildcard_ && (isIpLiteral(given.name) || (!machineName_.empty() && given.name == machineName_));
}

bool RequestGuard::keyGiven(const RequestFacts& request) const
{
    return key_.empty() || sameKey(request.keyParameter, key_) ||
           sameKey(cookieValue(request.cookie, KeyCookieName), key_);
}

std::string RequestGuard::keyCookie() const
{
    return fmt::format("{}={}; Path=/; HttpOnly; SameSite=Strict", KeyCookieName, key_);
}

std::optional<Refusal> RequestGuard::check(const RequestFacts& request) const
{
    if (!hostAllowed(request.host))
        return Refusal{421, fmt::format("this server answers to its own address only (localhost:{}), not to "
                                        "\"{}\"", port_, request.host.substr(0, 100))};
    if (!keyGiven(request))
        return Refusal{401, "this panel is served to the network and needs its key: open the address devhost serve "
                            "printed, with its ?key=…"};
    const std::string ownOrigin = "http://" + lowered(request.host);
    const bool foreign = !request.origin.empty() && lowered(request.origin) != ownOrigin;
    const bool crossSite = request.fetchSite == "cross-site" || request.fetchSite == "same-site";
    if (request.method != "GET" && request.method != "HEAD") {
        if (request.origin.empty() || foreign)
            return Refusal{403, fmt::format("requests that change the panel come from its own page only (Origin {}, "
                                            "not \"{}\")", ownOrigin, request.origin.substr(0, 100))};
        if (!lowered(request.contentType).starts_with("application/json"))
            return Refusal{403, "requests that change the panel carry JSON (Content-Type: application/json)"};
    } else if (request.path.starts_with("/api/") && (foreign || crossSite)) {
        return Refusal{403, "the panel's feed and API serve its own page only"};
    }
    return std::nullopt;
}

}  // namespace devhost
