#pragma once
#include "platform/TreeWatcher.h"

namespace brim::platform {

// ReadDirectoryChangesW on the root, for the whole tree below it.
class Win32TreeWatcher final : public TreeWatcher {
  public:
    WatchStart watch(const std::string& root, TreeListener& listener, WatchPace pace) override;
    using TreeWatcher::watch;
};

}  // namespace brim::platform
