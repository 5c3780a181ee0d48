#pragma once
// Asking running work to end, and waking whoever waits for it.
//
// The standard library's stop tokens are not used anywhere: with mingw-w64's
// libstdc++ (GCC 12, no futex) a std::stop_callback whose callback runs on
// another thread at the moment it is destroyed waits on a semaphore whose
// wake-up can be lost, for ever. condition_variable_any's waits with a
// stop_token make such a callback every time, so a walk stopped while it woke
// hung. Here a request sets a flag and then notifies each registered waiter's
// own condition under the waiter's own mutex: a waiter that tests requested()
// under that mutex before it sleeps cannot miss the request.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace brim::core {

class StopSource {
  public:
    StopSource() = default;
    StopSource(const StopSource&) = delete;
    StopSource& operator=(const StopSource&) = delete;

    // Once requested, requested() stays true. Callable from any thread, but
    // not while holding the mutex of a watch on this source.
    void request();
    bool requested() const noexcept { return requested_.load(std::memory_order_acquire); }

  private:
    friend class StopWatch;
    struct Waiter {
        std::mutex* mutex;
        std::condition_variable* changed;
    };
    std::atomic<bool> requested_{false};
    // Watching does not change what is requested: a walk watches a source it
    // may only read.
    mutable std::mutex mutex_;  // guards waiters_; held while they are notified
    mutable std::vector<Waiter> waiters_;
};

// While it lives, a request of its source notifies `changed` under `mutex`.
// Made and destroyed without `mutex` held. A null source is never requested.
class StopWatch {
  public:
    StopWatch(const StopSource* source, std::mutex& mutex, std::condition_variable& changed);
    ~StopWatch();
    StopWatch(const StopWatch&) = delete;
    StopWatch& operator=(const StopWatch&) = delete;

  private:
    const StopSource* source_;
    std::condition_variable* changed_;
};

}  // namespace brim::core
