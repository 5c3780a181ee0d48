#pragma once
// The changes of one burst, held by a watch's thread until the tree has been
// quiet for a while, so that a save of many files is one report.

#include <algorithm>
#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/TreeWatcher.h"

namespace brim::platform {

class WatchBatch {
  public:
    using Clock = std::chrono::steady_clock;

    explicit WatchBatch(WatchPace pace) : pace_(pace) {}

    void add(std::string folder, Clock::time_point now = Clock::now()) {
        folders_.insert(std::move(folder));
        touched(now);
    }

    // The gravest loss held wins: an ended watch outweighs a partial one,
    // which outweighs dropped changes.
    void lose(WatchLoss why, Clock::time_point now = Clock::now()) {
        if (!lost_ || static_cast<int>(why) > static_cast<int>(*lost_)) lost_ = why;
        touched(now);
    }

    bool empty() const { return folders_.empty() && !lost_; }

    // How long the thread may wait before the batch is due; nullopt while
    // nothing is held.
    std::optional<std::chrono::milliseconds> untilDue(Clock::time_point now = Clock::now()) const {
        if (empty()) return std::nullopt;
        const auto due = std::min(last_ + pace_.quiet, first_ + pace_.longest);
        if (due <= now) return std::chrono::milliseconds(0);
        // Rounded up, so that a wait never wakes just before it is due.
        return std::chrono::ceil<std::chrono::milliseconds>(due - now);
    }

    // Hands what is held to the listener, once it is due, and empties the
    // batch. A loss stands for every folder, so they are not listed with it.
    void deliverIfDue(TreeListener& listener, Clock::time_point now = Clock::now()) {
        const auto wait = untilDue(now);
        if (!wait || wait->count() > 0) return;
        const auto lost = lost_;
        const std::vector<std::string> folders(folders_.begin(), folders_.end());
        folders_.clear();
        lost_.reset();
        first_ = {};
        if (lost)
            listener.changesLost(*lost);
        else
            listener.foldersChanged(folders);
    }

  private:
    void touched(Clock::time_point now) {
        if (first_ == Clock::time_point{}) first_ = now;
        last_ = now;
    }

    WatchPace pace_;
    std::set<std::string> folders_;
    std::optional<WatchLoss> lost_;
    Clock::time_point first_{};
    Clock::time_point last_{};
};

}  // namespace brim::platform
