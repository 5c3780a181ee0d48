#pragma once
// The window's scheduler under Win32: each piece of work on a thread of its
// own, and what is posted back runs in the window procedure, woken by a
// message. Worker threads never touch the window: they only queue tasks and
// post the wake-up message, which carries nothing.

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/Scheduler.h"

namespace brim::win {

class WindowScheduler final : public app::Scheduler {
  public:
    WindowScheduler() = default;
    // Drops what is queued and waits for the work still running.
    ~WindowScheduler() override;
    WindowScheduler(const WindowScheduler&) = delete;
    WindowScheduler& operator=(const WindowScheduler&) = delete;

    // The message and timer that wake the window for its tasks; the window
    // procedure hands them to runDue().
    static UINT wakeMessage();
    static constexpr UINT_PTR kTimer = 0x5C4D;

    // Tasks posted from now on run on `hwnd`'s thread; those posted before
    // wait for it.
    void attach(HWND hwnd);
    // The window is going: what is queued is dropped, and so is whatever is
    // posted later. Call on the window's thread (WM_DESTROY).
    void detach();
    // Runs the tasks that are due, on the window's thread.
    void runDue();

    void runInBackground(std::function<void()> work) override;
    void post(std::function<void()> task) override;
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override;
    unsigned threads() const override;

  private:
    using Clock = std::chrono::steady_clock;
    struct Timed {
        Clock::time_point due;
        std::function<void()> task;
    };
    struct Worker {
        std::thread thread;
        std::shared_ptr<bool> done;  // set under mutex_ as the work ends
    };

    // Asks the window to come for its tasks, once until it has come.
    void wakeLocked();
    // Sets the window's timer for the earliest delayed task, on its thread.
    void armTimer();

    std::mutex mutex_;
    HWND hwnd_ = nullptr;
    bool detached_ = false;
    bool wakePending_ = false;
    std::vector<std::function<void()>> queued_;
    std::vector<Timed> timed_;
    std::vector<Worker> workers_;
};

}  // namespace brim::win
