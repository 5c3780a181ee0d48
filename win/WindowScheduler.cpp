#include "win/WindowScheduler.h"

#include <algorithm>
#include <optional>

#include "core/ParallelWalk.h"

namespace brim::win {

WindowScheduler::~WindowScheduler() {
    std::vector<Worker> workers;
    std::vector<std::function<void()>> queued;
    std::vector<Timed> timed;
    {
        const std::lock_guard lock(mutex_);
        detached_ = true;
        hwnd_ = nullptr;
        workers.swap(workers_);
        queued.swap(queued_);
        timed.swap(timed_);
    }
    // What the work posts while it ends is dropped; nothing runs it any more.
    for (Worker& w : workers)
        w.thread.join();
}

UINT WindowScheduler::wakeMessage() {
    static const UINT message = RegisterWindowMessageW(L"Brimmark.WindowScheduler.Wake");
    return message;
}

void WindowScheduler::attach(HWND hwnd) {
    const std::lock_guard lock(mutex_);
    if (detached_) return;
    hwnd_ = hwnd;
    if (!queued_.empty() || !timed_.empty()) wakeLocked();
}

void WindowScheduler::detach() {
    std::vector<std::function<void()>> queued;
    std::vector<Timed> timed;
    HWND hwnd = nullptr;
    {
        const std::lock_guard lock(mutex_);
        detached_ = true;
        std::swap(hwnd, hwnd_);
        queued.swap(queued_);
        timed.swap(timed_);
    }
    if (hwnd) KillTimer(hwnd, kTimer);
    // The dropped tasks are destroyed here, outside the lock: what they hold
    // may take long to let go.
}

void WindowScheduler::wakeLocked() {
    if (!hwnd_ || detached_ || wakePending_) return;
    // A full message queue refuses the message; the next post tries again.
    wakePending_ = PostMessageW(hwnd_, wakeMessage(), 0, 0) != 0;
}

void WindowScheduler::runDue() {
    std::vector<std::function<void()>> due;
    {
        const std::lock_guard lock(mutex_);
        wakePending_ = false;
        due.swap(queued_);
        // Delayed tasks whose time has come, earliest first, after those
        // posted without delay.
        const auto now = Clock::now();
        const auto later = std::stable_partition(timed_.begin(), timed_.end(),
                                                 [now](const Timed& t) { return t.due > now; });
        std::stable_sort(later, timed_.end(),
                         [](const Timed& a, const Timed& b) { return a.due < b.due; });
        for (auto t = later; t != timed_.end(); ++t)
            due.push_back(std::move(t->task));
        timed_.erase(later, timed_.end());
    }
    // Tasks posted meanwhile wait for the next wake-up, so that a stream of
    // them cannot keep input and painting waiting. A task may open a modal
    // dialog, whose message loop comes here again: nothing is locked.
    for (auto& task : due) {
        {
            const std::lock_guard lock(mutex_);
            if (detached_) return;
        }
        task();
    }
    armTimer();
}

void WindowScheduler::armTimer() {
    HWND hwnd = nullptr;
    std::optional<Clock::time_point> earliest;
    {
        const std::lock_guard lock(mutex_);
        if (!hwnd_ || detached_) return;
        hwnd = hwnd_;
        for (const Timed& t : timed_)
            if (!earliest || t.due < *earliest) earliest = t.due;
    }
    if (!earliest) {
        KillTimer(hwnd, kTimer);
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*earliest - Clock::now());
    SetTimer(hwnd, kTimer,
             static_cast<UINT>(
                 std::max<std::chrono::milliseconds::rep>(wait.count(), USER_TIMER_MINIMUM)),
             nullptr);
}

void WindowScheduler::runInBackground(std::function<void()> work) {
    auto done = std::make_shared<bool>(false);
    const std::lock_guard lock(mutex_);
    // Threads whose work has ended are joined as new work comes, so that
    // their number stays that of the walks still running.
    const auto running =
        std::partition(workers_.begin(), workers_.end(), [](const Worker& w) { return !*w.done; });
    for (auto w = running; w != workers_.end(); ++w)
        w->thread.join();
    workers_.erase(running, workers_.end());
    // Room first: a thread started but not kept could never be joined.
    workers_.reserve(workers_.size() + 1);
    workers_.push_back({std::thread([this, done, work = std::move(work)] {
                            work();
                            const std::lock_guard ended(mutex_);
                            *done = true;
                        }),
                        done});
}

void WindowScheduler::post(std::function<void()> task) {
    const std::lock_guard lock(mutex_);
    if (detached_) return;
    queued_.push_back(std::move(task));
    wakeLocked();
}

void WindowScheduler::postAfter(std::chrono::milliseconds delay, std::function<void()> task) {
    const std::lock_guard lock(mutex_);
    if (detached_) return;
    timed_.push_back({Clock::now() + delay, std::move(task)});
    // The window's timer is set on its own thread, when it comes.
    wakeLocked();
}

unsigned WindowScheduler::threads() const {
    return core::machineThreads();
}

}  // namespace brim::win
