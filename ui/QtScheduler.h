#pragma once
// The window's scheduler under Qt: the fills' walks run in a thread pool of
// their own, and what they post comes back through the event loop.

#include <QObject>
#include <QThreadPool>

#include "app/Scheduler.h"

namespace brim::ui {

class QtScheduler final : public app::Scheduler {
  public:
    // Posted tasks run on `context`'s thread, and never once it is gone.
    explicit QtScheduler(QObject* context);
    // Waits for the walks still running.
    ~QtScheduler() override;

    void runInBackground(std::function<void()> work) override;
    void post(std::function<void()> task) override;
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override;
    unsigned threads() const override;

  private:
    QObject* context_;
    QThreadPool pool_;
};

}  // namespace brim::ui
