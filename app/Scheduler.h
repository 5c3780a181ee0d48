#pragma once
// Where the window's long work runs, and how its results come back to the
// thread that owns the window. The Qt window gives a thread pool and queued
// calls; a native window would post a message; tests run the work by hand.

#include <chrono>
#include <functional>
#include <vector>

namespace brim::app {

class Scheduler {
  public:
    virtual ~Scheduler() = default;

    // Runs `work` away from the window's thread. It may block for long.
    virtual void runInBackground(std::function<void()> work) = 0;
    // Runs `task` on the window's thread, after what is queued there already.
    // Callable from any thread.
    virtual void post(std::function<void()> task) = 0;
    // As post, after `delay` at the earliest.
    virtual void postAfter(std::chrono::milliseconds delay, std::function<void()> task) = 0;
    // Threads a walk of the tree may use.
    virtual unsigned threads() const = 0;
};

// Runs the work at once on the calling thread and what it posts right after
// it: every fill then ends before the command that started it returns.
class ImmediateScheduler final : public Scheduler {
  public:
    void runInBackground(std::function<void()> work) override;
    void post(std::function<void()> task) override;
    void postAfter(std::chrono::milliseconds, std::function<void()> task) override;
    unsigned threads() const override;

  private:
    int depth_ = 0;
    std::vector<std::function<void()>> queued_;
};

}  // namespace brim::app
