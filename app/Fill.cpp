#include "app/Fill.h"

#include "app/Scheduler.h"
#include "core/ParallelWalk.h"

namespace brim::app {

void FillJob::add(Row&& row, Cell file) {
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        rows_.push_back(std::move(row));
        files_.push_back(std::move(file));
        wake = armed_;
        armed_ = false;
    }
    if (wake) wake_(weak_from_this());
}

void FillJob::tell(std::string notice) {
    const std::lock_guard lock(mutex_);
    notice_ = std::move(notice);
}

void FillJob::fail(std::exception_ptr reason) {
    const std::lock_guard lock(mutex_);
    failure_ = std::move(reason);
}

void FillJob::finish() {
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        armed_ = false;
    }
    ended_.notify_all();
    wake_(weak_from_this());
}

FillJob::Batch FillJob::take() {
    Batch batch;
    const std::lock_guard lock(mutex_);
    batch.rows.swap(rows_);
    batch.files.swap(files_);
    batch.finished = finished_;
    if (finished_) {
        batch.notice = std::move(notice_);
        batch.failure = std::move(failure_);
    }
    return batch;
}

bool FillJob::rearm() {
    const std::lock_guard lock(mutex_);
    if (!rows_.empty() || finished_) return true;
    armed_ = true;
    return false;
}

void FillJob::waitUntilFinished() {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return finished_; });
}

bool FillJob::finished() const {
    const std::lock_guard lock(mutex_);
    return finished_;
}

void ImmediateScheduler::runInBackground(std::function<void()> work) {
    ++depth_;
    work();
    --depth_;
    // What the work posted runs now, in order, and anything that posts.
    while (depth_ == 0 && !queued_.empty()) {
        auto tasks = std::move(queued_);
        queued_.clear();
        for (auto& task : tasks)
            task();
    }
}

void ImmediateScheduler::post(std::function<void()> task) {
    if (depth_ > 0) {
        queued_.push_back(std::move(task));
    } else {
        task();
    }
}

void ImmediateScheduler::postAfter(std::chrono::milliseconds, std::function<void()> task) {
    post(std::move(task));
}

unsigned ImmediateScheduler::threads() const {
    return core::machineThreads();
}

}  // namespace brim::app
