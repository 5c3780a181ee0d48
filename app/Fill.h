#pragma once
// One fill of the result list on its way from the walk to the window: the
// walk adds rows on its thread, the window takes them in batches on its own.

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/View.h"
#include "core/Stop.h"

namespace brim::app {

class FillJob : public std::enable_shared_from_this<FillJob> {
  public:
    using Wake = std::function<void(std::weak_ptr<FillJob>)>;
    // `wake` asks the window's thread to take what has come; it is called
    // from the walk's thread, once until the window re-arms it, and at the end.
    explicit FillJob(Wake wake) : wake_(std::move(wake)) {}

    // What the walk watches to end early.
    const core::StopSource& stopSource() const { return stop_; }
    void stop() { stop_.request(); }
    bool stopped() const { return stop_.requested(); }

    // The walk's side. `file`: the favorite's file as on disk, for a row that has one.
    void add(Row&& row, Cell file = {});
    // What the window is to say once the whole list has come; not said when
    // the fill is stopped.
    void tell(std::string notice);
    // The walk ended early on this exception; its rows so far stay.
    void fail(std::exception_ptr reason);
    void finish();

    // The window's side.
    struct Batch {
        std::vector<Row> rows;
        std::vector<Cell> files;  // one per row
        bool finished = false;
        std::string notice;          // with the last batch
        std::exception_ptr failure;  // with the last batch
    };
    // Everything added since the last take.
    Batch take();
    // True when rows wait or the walk has ended: take them now. Otherwise the
    // next row wakes the window again.
    bool rearm();
    void waitUntilFinished();
    bool finished() const;

  private:
    Wake wake_;
    core::StopSource stop_;
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    std::vector<Row> rows_;
    std::vector<Cell> files_;
    std::string notice_;
    std::exception_ptr failure_;
    bool armed_ = true;
    bool finished_ = false;
};

}  // namespace brim::app
