#include "devhost/serve/change_feed.h"

namespace devhost {

ChangeFeed::ChangeFeed(size_t maxViewers, size_t maxQueued) : maxViewers_(maxViewers), maxQueued_(maxQueued) {}

std::unique_ptr<ChangeFeed::Subscription> ChangeFeed::subscribe()
{
    std::lock_guard lock(mutex_);
    if (closed_ || viewers_.size() >= maxViewers_)
        return nullptr;
    return std::make_unique<Subscription>(*this, viewers_.emplace(viewers_.end()));
}

ChangeFeed::Subscription::~Subscription()
{
    std::lock_guard lock(feed_.mutex_);
    feed_.viewers_.erase(viewer_);
}

ChangeFeed::Subscription::Next ChangeFeed::Subscription::next(std::chrono::milliseconds wait)
{
    std::unique_lock lock(feed_.mutex_);
    feed_.arrived_.wait_for(lock, wait, [&] { return feed_.closed_ || viewer_->behind || !viewer_->queue.empty(); });
    Next next{.closed = feed_.closed_};
    if (viewer_->behind) {
        viewer_->behind = false;
        next.startAfresh = true;
    } else if (!viewer_->queue.empty()) {
        next.message = std::move(viewer_->queue.front());
        viewer_->queue.pop_front();
    }
    return next;
}

void ChangeFeed::publish(FeedMessage message)
{
    {
        std::lock_guard lock(mutex_);
        for (Viewer& viewer : viewers_) {
            if (viewer.behind)
                continue;
            if (viewer.queue.size() >= maxQueued_) {
                viewer.queue.clear();
                viewer.behind = true;
                continue;
            }
            viewer.queue.push_back(message);
        }
    }
    arrived_.notify_all();
}

void ChangeFeed::close()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    arrived_.notify_all();
}

size_t ChangeFeed::viewers() const
{
    std::lock_guard lock(mutex_);
    return viewers_.size();
}

}  // namespace devhost
