// The change feed's fan-out: each frame's message is made once and handed
// to every viewer's own bounded queue. Publishing never waits for a viewer;
// a viewer that falls behind loses its queue and is told to start afresh
// from a whole picture, so that a stalled or vanished viewer costs the
// others nothing and holds no more than its queue's worth of memory.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <string>

namespace devhost {

// One framed message (see feed_message.h), written as it is to every page.
using FeedMessage = std::shared_ptr<const std::string>;

class ChangeFeed {
    struct Viewer {
        std::deque<FeedMessage> queue;
        bool behind = false;
    };

public:
    ChangeFeed(size_t maxViewers, size_t maxQueued);

    // One viewer's place in the feed, given up when destroyed.
    class Subscription {
    public:
        Subscription(ChangeFeed& feed, std::list<Viewer>::iterator viewer) : feed_(feed), viewer_(viewer) {}
        ~Subscription();
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;

        struct Next {
            FeedMessage message;     // null when nothing came in time
            bool startAfresh = false;  // messages were dropped: the viewer needs the whole state again
            bool closed = false;       // the feed has ended
        };
        Next next(std::chrono::milliseconds wait);

    private:
        ChangeFeed& feed_;
        std::list<Viewer>::iterator viewer_;
    };

    // Null when the feed already has its maximum of viewers or is closed.
    std::unique_ptr<Subscription> subscribe();
    void publish(FeedMessage message);
    void close();
    size_t viewers() const;

private:
    const size_t maxViewers_, maxQueued_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::list<Viewer> viewers_;
    bool closed_ = false;
};

}  // namespace devhost
