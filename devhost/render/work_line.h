// Jobs done on a thread per core while the caller prepares the next ones,
// and handed back in the order they came: the pictures of an animation are
// encoded this way while the flight goes on and the next is drawn. A job
// handed back keeps its buffers for a later one.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace devhost {

template <typename Job>
class WorkLine {
public:
    // Beyond a few threads the jobs waiting would hold much memory for
    // little gain.
    static constexpr unsigned MostThreads = 4;

    // `work` runs on the line's threads, one job at a time each; what it
    // throws comes back with the job.
    explicit WorkLine(std::function<void(Job&)> work) : work_(std::move(work))
    {
        const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, MostThreads);
        for (unsigned i = 0; i < threads; ++i)
            threads_.emplace_back([this] { run(); });
    }
    ~WorkLine()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        waiting_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }
    WorkLine(const WorkLine&) = delete;
    WorkLine& operator=(const WorkLine&) = delete;

    // A job to fill: one handed back, if there is one.
    std::unique_ptr<Job> blank()
    {
        if (spare_.empty())
            return std::make_unique<Job>();
        std::unique_ptr<Job> job = std::move(spare_.back());
        spare_.pop_back();
        return job;
    }

    void submit(std::unique_ptr<Job> job)
    {
        {
            std::lock_guard lock(mutex_);
            line_.push_back({.job = std::move(job)});
        }
        waiting_.notify_one();
    }

    // Only the caller's thread changes how many jobs are in the line.
    bool empty() const { return line_.empty(); }
    // Enough jobs wait to keep every thread busy.
    bool full() const { return line_.size() > threads_.size(); }

    // The oldest job, once done; throws what its work threw. Give it back
    // when finished with it.
    std::unique_ptr<Job> oldest()
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return line_.front().done; });
        Entry entry = std::move(line_.front());
        line_.pop_front();
        lock.unlock();
        if (entry.error)
            std::rethrow_exception(entry.error);
        return std::move(entry.job);
    }
    void giveBack(std::unique_ptr<Job> job) { spare_.push_back(std::move(job)); }

private:
    struct Entry {
        std::unique_ptr<Job> job;
        bool taken = false, done = false;
        std::exception_ptr error;
    };

    void run()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            Entry* next = nullptr;
            waiting_.wait(lock, [&] {
                auto untaken = std::find_if(line_.begin(), line_.end(), [](const Entry& entry) { return !entry.taken; });
                next = untaken == line_.end() ? nullptr : &*untaken;
                return stopping_ || next;
            });
            if (stopping_)
                return;
            next->taken = true;
            Job& job = *next->job;
            lock.unlock();
            std::exception_ptr error;
            try {
                work_(job);
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            // The entry stays where it was: only a done one leaves the line.
            next->error = error;
            next->done = true;
            done_.notify_all();
        }
    }

    std::function<void(Job&)> work_;
    std::mutex mutex_;
    std::condition_variable waiting_, done_;
    std::deque<Entry> line_;
    std::vector<std::unique_ptr<Job>> spare_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;   // last: started once the rest is ready
};

}  // namespace devhost
