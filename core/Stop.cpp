#include "core/Stop.h"

#include <algorithm>

namespace brim::core {

void StopSource::request() {
    const std::lock_guard lock(mutex_);
    requested_.store(true, std::memory_order_release);
    // Each waiter either tested the flag after this store, or sleeps on its
    // condition already and is woken here: its mutex orders the two.
    for (const Waiter& w : waiters_) {
        { const std::lock_guard waiting(*w.mutex); }
        w.changed->notify_all();
    }
}

StopWatch::StopWatch(const StopSource* source, std::mutex& mutex, std::condition_variable& changed)
    : source_(source), changed_(&changed) {
    if (!source_) return;
    const std::lock_guard lock(source_->mutex_);
    source_->waiters_.push_back({&mutex, &changed});
}

StopWatch::~StopWatch() {
    if (!source_) return;
    // A request running now holds this lock while it notifies: once it is
    // ours, the condition is no longer touched.
    const std::lock_guard lock(source_->mutex_);
    auto& waiters = source_->waiters_;
    waiters.erase(std::find_if(waiters.begin(), waiters.end(), [this](const StopSource::Waiter& w) {
        return w.changed == changed_;
    }));
}

}  // namespace brim::core
