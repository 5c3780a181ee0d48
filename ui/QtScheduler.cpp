#include "ui/QtScheduler.h"

#include <QMetaObject>
#include <QTimer>

#include "core/ParallelWalk.h"

namespace brim::ui {

QtScheduler::QtScheduler(QObject* context) : context_(context) {
    // A stopped walk may still be winding down when the next one starts.
    pool_.setMaxThreadCount(4);
}

QtScheduler::~QtScheduler() {
    pool_.waitForDone();
}

void QtScheduler::runInBackground(std::function<void()> work) {
    pool_.start(std::move(work));
}

void QtScheduler::post(std::function<void()> task) {
    QMetaObject::invokeMethod(context_, std::move(task), Qt::QueuedConnection);
}

void QtScheduler::postAfter(std::chrono::milliseconds delay, std::function<void()> task) {
    QTimer::singleShot(delay, context_, std::move(task));
}

unsigned QtScheduler::threads() const {
    return core::machineThreads();
}

}  // namespace brim::ui
