#include "app/FillControl.h"

namespace brim::app {

FillControl::~FillControl() {
    self_.reset();
    for (const auto& job : jobs_)
        job->stop();
    for (const auto& job : jobs_)
        job->waitUntilFinished();
}

void FillControl::start(Walk walk, Sink sink) {
    cancel();
    // The walk's thread only asks the window's thread to come and take rows.
    auto job = std::make_shared<FillJob>(
        [&scheduler = scheduler_,
         self = std::weak_ptr<FillControl*>(self_)](std::weak_ptr<FillJob> weakJob) {
            scheduler.post([self, weakJob] {
                const auto control = self.lock();
                const auto posted = weakJob.lock();
                if (control && posted) (*control)->take(posted);
            });
        });
    std::erase_if(jobs_, [](const auto& j) { return j->finished(); });
    jobs_.push_back(job);
    current_ = Current{job, std::move(sink)};
    const core::WalkControl control{scheduler_.threads(), &job->stopSource()};
    try {
        scheduler_.runInBackground([job, walk = std::move(walk), control] {
            // The job ends whatever the walk meets: exports and the window's
            // end wait for it, and nothing may leave the walk's thread.
            try {
                if (!control.stopped()) walk(*job, control);
            } catch (...) {
                job->fail(std::current_exception());
            }
            job->finish();
        });
    } catch (...) {
        // No thread for the walk (a thread limit, no memory): the fill ends
        // empty and says why, and nothing waits for a walk that never began.
        job->fail(std::current_exception());
        job->finish();
    }
}

void FillControl::take(const std::shared_ptr<FillJob>& job) {
    if (!current_ || current_->job != job) return;  // a fill since stopped or replaced
    FillJob::Batch batch = job->take();
    if (!batch.rows.empty()) {
        current_->sink.rows(batch);
        // The sink may have ended or replaced the fill.
        if (!current_ || current_->job != job) return;
    }
    if (!batch.finished) {
        // The next batch after a pause, so that the window is not kept busy
        // showing a few rows at a time.
        std::weak_ptr<FillControl*> self = self_;
        std::weak_ptr<FillJob> weakJob = job;
        scheduler_.postAfter(kFillBatchInterval, [self, weakJob] {
            const auto control = self.lock();
            const auto later = weakJob.lock();
            if (control && later && later->rearm()) (*control)->take(later);
        });
        return;
    }
    const auto ended = std::move(current_->sink.ended);
    current_.reset();
    if (ended) ended(batch, job->stopped());
}

bool FillControl::stop() {
    if (!current_) return false;
    const auto job = current_->job;
    job->stop();
    take(job);
    return cancel();
}

void FillControl::finish() {
    if (!current_) return;
    const auto job = current_->job;
    job->waitUntilFinished();
    take(job);
}

bool FillControl::cancel() {
    if (!current_) return false;
    current_->job->stop();
    current_.reset();
    return true;
}

}  // namespace brim::app
