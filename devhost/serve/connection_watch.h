// What each connection to the server is doing, so that none holds one of
// the server's threads longer than its work needs: a connection that is
// slow to send its request (one header byte a second), or that idles
// between requests, is cut at its deadline; one that is being answered has
// none. Connections are known by the peer's address and port, which is
// what a request handler learns of its connection; their sockets are found
// among the process's own as the server accepts them (the library keeps
// its sockets to itself).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <httplib.h>

namespace devhost {

class ConnectionWatch {
public:
    using Clock = std::chrono::steady_clock;

    ConnectionWatch();
    ~ConnectionWatch();
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    struct Accepted {
        int socket = -1;   // -1: none found (the peer already gone)
        std::string peer;
    };
    // The connection the server on the port has just accepted, before it is
    // handed to a thread: of the process's sockets, the one connected on
    // that port and not yet claimed. The server accepts one connection at a
    // time and hands each over before the next, so there is one such.
    Accepted claimAccepted(int port);

    // Held by the thread that serves the connection, while it does.
    class Scope {
    public:
        Scope(ConnectionWatch& watch, Accepted accepted, std::chrono::seconds firstRequest);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        ConnectionWatch& watch_;
        Accepted accepted_;
    };

    // Connections waiting for a thread; while there are any, kept-alive
    // connections that idle between requests are closed to make room.
    void setWaiting(std::function<size_t()> waiting);

    // For the connection a request came on (by its peer):
    void expect(const httplib::Request& request, std::chrono::seconds within);  // the rest of it, by then
    void idle(const httplib::Request& request, std::chrono::seconds within);    // answered; the next, by then
    void busy(const httplib::Request& request);                                // being answered: no deadline
    void endAfterAnswer(const httplib::Request& request);                      // no further request on it
    bool ended(const httplib::Request& request);                               // endAfterAnswer was called
    int socketOf(const httplib::Request& request);                             // -1 when unknown

private:
    struct Connection {
        int socket;
        Clock::time_point deadline;   // max(): none
        bool idle = false;            // answered, and no next request yet
        bool ended = false;           // answered for the last time
    };
    Connection* find(const httplib::Request& request);
    void watch();

    std::mutex mutex_;
    std::map<std::string, Connection> connections_;
    // Sockets claimed and not yet closed, with their peer: a number the
    // system hands out again is a new connection when its peer differs.
    std::map<int, std::string> claimed_;
    std::function<size_t()> waiting_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread watcher_;
};

// Threads that take connections in the order they came; `waiting` counts
// those that have come and found every thread busy, so that a kept-alive
// connection can give its thread up when others wait for one.
class FairPool : public httplib::TaskQueue {
public:
    explicit FairPool(size_t threads);
    ~FairPool() override;

    void enqueue(std::function<void()> task) override;
    void shutdown() override;   // once all that came is done
    size_t waiting();

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::function<void()>> queue_;   // oldest first
    size_t next_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace devhost
