#pragma once
// A tree watcher that the test drives: it reports what the test tells it,
// on the test's own thread, to the listener of the watch it runs.

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/TreeWatcher.h"

namespace brim::test {

class ManualTreeWatcher final : public platform::TreeWatcher {
  public:
    // When set, every watch fails with it.
    std::optional<platform::IoResult> refuse;

    platform::WatchStart watch(const std::string& root, platform::TreeListener& listener,
                               platform::WatchPace) override {
        if (refuse) return {nullptr, *refuse};
        std::lock_guard lock(state_->mutex);
        state_->root = root;
        state_->listener = &listener;
        return {std::make_unique<Watch>(state_), {}};
    }
    using TreeWatcher::watch;

    // The root of the watch running now; nullopt when none runs.
    std::optional<std::string> watchedRoot() const {
        std::lock_guard lock(state_->mutex);
        if (!state_->listener) return std::nullopt;
        return state_->root;
    }
    // Tells the running watch's listener, if any; false when none runs.
    bool change(const std::vector<std::string>& folders) {
        std::lock_guard lock(state_->mutex);
        if (state_->listener) state_->listener->foldersChanged(folders);
        return state_->listener != nullptr;
    }
    bool lose(platform::WatchLoss why) {
        std::lock_guard lock(state_->mutex);
        if (state_->listener) state_->listener->changesLost(why);
        return state_->listener != nullptr;
    }

  private:
    struct State {
        mutable std::mutex mutex;
        std::string root;
        platform::TreeListener* listener = nullptr;
    };
    // Stopping it stops the reports, as the system's watches do.
    class Watch final : public platform::TreeWatch {
      public:
        explicit Watch(std::shared_ptr<State> s) : state_(std::move(s)) {}
        ~Watch() override {
            std::lock_guard lock(state_->mutex);
            state_->listener = nullptr;
        }

      private:
        std::shared_ptr<State> state_;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace brim::test
