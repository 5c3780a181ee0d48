#pragma once
#include <string>
#include <vector>

#include "platform/BrowserProfiles.h"

namespace brim::test {

// No browser anywhere: an import finds no store but a file it is given.
class NoBrowsers final : public platform::BrowserProfiles {
  public:
    std::vector<platform::BrowserFolder> browserFolders() const override { return {}; }
    bool isRunning(platform::BrowserKind, const std::string&) const override { return false; }
};

}  // namespace brim::test
