#pragma once
#include <cstddef>
#include <limits>

#include "platform/TreeWatcher.h"

namespace brim::platform {

// One inotify watch per folder of the tree, kept as folders come and go.
class InotifyTreeWatcher final : public TreeWatcher {
  public:
    // `maxFolders`: the most folders one watch takes, as if the system's
    // limit of watches were that low.
    explicit InotifyTreeWatcher(std::size_t maxFolders = std::numeric_limits<std::size_t>::max())
        : maxFolders_(maxFolders) {}

    WatchStart watch(const std::string& root, TreeListener& listener, WatchPace pace) override;
    using TreeWatcher::watch;

  private:
    std::size_t maxFolders_;
};

}  // namespace brim::platform
