#include "devhost/serve/connection_watch.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace devhost {

namespace {

// The peer as cpp-httplib names it in a request (numeric address and port).
std::string peerKey(const std::string& address, int port) { return address + " " + std::to_string(port); }

std::string peerOf(int socket)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return {};
    char host[NI_MAXHOST], service[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<sockaddr*>(&address), length, host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return {};
    return peerKey(host, std::stoi(service));
}

// The process's connected sockets whose own end is on the port (those a
// server listening there accepted; its listening socket is left out).
std::vector<int> acceptedOn(int port)
{
    std::vector<int> sockets;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string name = entry.path().filename().string();
        char* end = nullptr;
        const int fd = int(std::strtol(name.c_str(), &end, 10));
        struct stat status {};
        if (*end != '\0' || fstat(fd, &status) != 0 || !S_ISSOCK(status.st_mode))
            continue;
        sockaddr_storage own{};
        socklen_t length = sizeof own;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&own), &length) != 0)
            continue;
        const int ownPort = own.ss_family == AF_INET    ? ntohs(reinterpret_cast<sockaddr_in&>(own).sin_port)
                            : own.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6&>(own).sin6_port)
                                                        : -1;
        int listening = 1;
        length = sizeof listening;
        if (ownPort == port && getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) == 0 && !listening)
            sockets.push_back(fd);
    }
    return sockets;
}

}  // namespace

ConnectionWatch::ConnectionWatch() : watcher_([this] { watch(); }) {}

ConnectionWatch::~ConnectionWatch()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    watcher_.join();
}

void ConnectionWatch::watch()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, std::chrono::milliseconds(100));
        const auto now = Clock::now();
        size_t waiting = waiting_ ? waiting_() : 0;
        for (auto& [peer, connection] : connections_)
            if (connection.deadline <= now || (waiting > 0 && connection.idle)) {
                waiting -= waiting > 0 && connection.idle;
                connection.idle = false;
                // The thread serving it wakes from its read and closes it.
                shutdown(connection.socket, SHUT_RDWR);
                connection.deadline = Clock::time_point::max();
            }
    }
}

ConnectionWatch::Accepted ConnectionWatch::claimAccepted(int port)
{
    std::lock_guard lock(mutex_);
    for (const int socket : acceptedOn(port)) {
        std::string peer = peerOf(socket);
        const auto known = claimed_.find(socket);
        if (peer.empty() || (known != claimed_.end() && known->second == peer))
            continue;
        claimed_[socket] = peer;
        return {socket, std::move(peer)};
    }
    return {};
}

ConnectionWatch::Scope::Scope(ConnectionWatch& watch, Accepted accepted, std::chrono::seconds firstRequest)
    : watch_(watch), accepted_(std::move(accepted))
{
    std::lock_guard lock(watch_.mutex_);
    if (accepted_.socket >= 0)
        watch_.connections_[accepted_.peer] = {accepted_.socket, Clock::now() + firstRequest};
}

ConnectionWatch::Scope::~Scope()
{
    std::lock_guard lock(watch_.mutex_);
    if (accepted_.socket < 0)
        return;
    watch_.connections_.erase(accepted_.peer);
    // The socket is closed by now; its number may already be a newer connection's.
    const auto claim = watch_.claimed_.find(accepted_.socket);
    if (claim != watch_.claimed_.end() && claim->second == accepted_.peer)
        watch_.claimed_.erase(claim);
}

ConnectionWatch::Connection* ConnectionWatch::find(const httplib::Request& request)
{
    const auto found = connections_.find(peerKey(request.remote_addr, request.remote_port));
    return found == connections_.end() ? nullptr : &found->second;
}

void ConnectionWatch::expect(const httplib::Request& request, std::chrono::seconds within)
{
    std::lock_guard lock(mutex_);
    if (Connection* connection = find(request)) {
        connection->deadline = Clock::now() + within;
        connection->idle = false;
    }
}

void ConnectionWatch::idle(const httplib::Request& request, std::chrono::seconds within)
{
    std::lock_guard lock(mutex_);
    if (Connection* connection = find(request)) {
        connection->deadline = Clock::now() + within;
        connection->idle = true;
    }
}

void ConnectionWatch::busy(const httplib::Request& request)
{
    std::lock_guard lock(mutex_);
    if (Connection* connection = find(request)) {
        connection->deadline = Clock::time_point::max();
        connection->idle = false;
    }
}

void ConnectionWatch::setWaiting(std::function<size_t()> waiting)
{
    std::lock_guard lock(mutex_);
    waiting_ = std::move(waiting);
}

void ConnectionWatch::endAfterAnswer(const httplib::Request& request)
{
    std::lock_guard lock(mutex_);
    // The answer is out, and the peer is told no more comes. Reading may
    // still find bytes it sent (a refused request's unread body), which
    // ended() keeps from being served as a request.
    if (Connection* connection = find(request)) {
        connection->ended = true;
        shutdown(connection->socket, SHUT_RDWR);
    }
}

bool ConnectionWatch::ended(const httplib::Request& request)
{
    std::lock_guard lock(mutex_);
    const Connection* connection = find(request);
    return connection && connection->ended;
}

int ConnectionWatch::socketOf(const httplib::Request& request)
{
    std::lock_guard lock(mutex_);
    const Connection* connection = find(request);
    return connection ? connection->socket : -1;
}

FairPool::FairPool(size_t threads)
{
    for (size_t i = 0; i < threads; ++i)
        threads_.emplace_back([this] {
            for (;;) {
                std::function<void()> task;
                {
                    std::unique_lock lock(mutex_);
                    arrived_.wait(lock, [&] { return stopping_ || next_ < queue_.size(); });
                    if (next_ == queue_.size())
                        return;
                    task = std::move(queue_[next_++]);
                    if (next_ == queue_.size()) {
                        queue_.clear();
                        next_ = 0;
                    }
                }
                task();
            }
        });
}

FairPool::~FairPool() { shutdown(); }

void FairPool::enqueue(std::function<void()> task)
{
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
    }
    arrived_.notify_one();
}

void FairPool::shutdown()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    arrived_.notify_all();
    for (std::thread& thread : threads_)
        if (thread.joinable())
            thread.join();
}

size_t FairPool::waiting()
{
    std::lock_guard lock(mutex_);
    return queue_.size() - next_;
}

}  // namespace devhost
