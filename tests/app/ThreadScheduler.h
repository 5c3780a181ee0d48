#pragma once
// The windows' schedulers as the rules see them, without a toolkit: each walk
// on a thread of its own, and what is posted back run on the test's thread
// when it pumps, as a window's message loop would.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/Scheduler.h"

namespace brim::test {

class ThreadScheduler final : public app::Scheduler {
  public:
    explicit ThreadScheduler(unsigned walkThreads = 3) : walkThreads_(walkThreads) {}
    // Waits for every walk, as the windows' schedulers do once their rules are gone.
    ~ThreadScheduler() override {
        for (Walk& w : walks_)
            w.thread.join();
    }
    ThreadScheduler(const ThreadScheduler&) = delete;
    ThreadScheduler& operator=(const ThreadScheduler&) = delete;

    void runInBackground(std::function<void()> work) override {
        const std::lock_guard lock(mutex_);
        // Walks that have ended are joined as new ones come.
        std::erase_if(walks_, [](Walk& w) {
            if (!*w.ended) return false;
            w.thread.join();
            return true;
        });
        auto ended = std::make_shared<std::atomic<bool>>(false);
        walks_.reserve(walks_.size() + 1);  // a thread started is always kept
        walks_.push_back({std::thread([work = std::move(work), ended] {
                              work();
                              *ended = true;
                          }),
                          ended});
    }
    void post(std::function<void()> task) override { postAfter({}, std::move(task)); }
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        {
            const std::lock_guard lock(mutex_);
            queued_.push_back({Clock::now() + delay, std::move(task)});
        }
        changed_.notify_all();
    }
    unsigned threads() const override { return walkThreads_; }

    // Runs the tasks that are due, waiting up to `wait` for the first.
    void pump(std::chrono::milliseconds wait = {}) {
        std::vector<std::function<void()>> due;
        {
            std::unique_lock lock(mutex_);
            const auto until = Clock::now() + wait;
            for (;;) {
                const auto now = Clock::now();
                for (auto t = queued_.begin(); t != queued_.end();) {
                    if (t->due <= now) {
                        due.push_back(std::move(t->task));
                        t = queued_.erase(t);
                    } else {
                        ++t;
                    }
                }
                if (!due.empty() || now >= until) break;
                changed_.wait_until(lock, until);
            }
        }
        for (auto& task : due)
            task();
    }
    // Pumps until `done` holds; false when `limit` passed first.
    bool pumpUntil(const std::function<bool()>& done,
                   std::chrono::seconds limit = std::chrono::seconds(60)) {
        const auto end = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() > end) return false;
            pump(std::chrono::milliseconds(10));
        }
        return true;
    }

  private:
    using Clock = std::chrono::steady_clock;
    struct Task {
        Clock::time_point due;
        std::function<void()> task;
    };
    const unsigned walkThreads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    struct Walk {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    std::deque<Task> queued_;
    std::vector<Walk> walks_;
};

}  // namespace brim::test
