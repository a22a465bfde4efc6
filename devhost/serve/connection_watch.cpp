#include "devhost/serve/connection_watch.h"

#include <netdb.h>
#include <sys/socket.h>

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

ConnectionWatch::Scope::Scope(ConnectionWatch& watch, int socket, std::chrono::seconds firstRequest)
    : watch_(watch), peer_(peerOf(socket))
{
    std::lock_guard lock(watch_.mutex_);
    watch_.connections_[peer_] = {socket, Clock::now() + firstRequest};
}

ConnectionWatch::Scope::~Scope()
{
    std::lock_guard lock(watch_.mutex_);
    watch_.connections_.erase(peer_);
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
