#pragma once
// The fill of the result list: starts a walk on the scheduler, hands its rows
// to the window's thread in batches, stops or replaces it, and keeps every
// walk that may still be running until it has ended.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/Fill.h"
#include "app/Scheduler.h"
#include "core/ParallelWalk.h"

namespace brim::app {

// How long a running fill waits between two batches of rows after the first.
inline constexpr std::chrono::milliseconds kFillBatchInterval{50};

class FillControl {
  public:
    using Walk = std::function<void(FillJob& job, const core::WalkControl& control)>;
    // Where a fill's rows go, on the window's thread.
    struct Sink {
        // A batch that holds rows.
        std::function<void(FillJob::Batch& batch)> rows;
        // The last batch, once the walk has ended (its rows already given to
        // `rows`); `stopped`: the fill was stopped before. Not called for a
        // fill that was replaced or cancelled.
        std::function<void(const FillJob::Batch& last, bool stopped)> ended;
    };

    explicit FillControl(Scheduler& scheduler) : scheduler_(scheduler) {}
    // Stops every walk and waits for each: they read what their owner keeps.
    ~FillControl();
    FillControl(const FillControl&) = delete;
    FillControl& operator=(const FillControl&) = delete;

    bool running() const { return current_.has_value(); }
    // Starts `walk` as the fill; a running one is cancelled first.
    void start(Walk walk, Sink sink);
    // Stops the running fill, keeping the rows that have come (Esc); the
    // walk may still be held up in a slow read and is not waited for. True
    // when the fill was still running, and now is not.
    bool stop();
    // Waits for the running fill's walk to end and gives all of its rows.
    void finish();
    // Ends the running fill; its rows not yet given are dropped. True when one ran.
    bool cancel();

  private:
    struct Current {
        std::shared_ptr<FillJob> job;
        Sink sink;
    };
    void take(const std::shared_ptr<FillJob>& job);

    Scheduler& scheduler_;
    std::optional<Current> current_;
    // Every job whose walk may still run, stopped or not.
    std::vector<std::shared_ptr<FillJob>> jobs_;
    // Lets tasks posted to the window's thread find the control, or find it gone.
    std::shared_ptr<FillControl*> self_ = std::make_shared<FillControl*>(this);
};

}  // namespace brim::app
