#pragma once
// Where Firefox, Chromium and Google Chrome keep their profiles on this
// system, and whether each runs, told by the lock link it holds.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/BrowserProfiles.h"

namespace brim::platform {

class PosixBrowserProfiles final : public BrowserProfiles {
  public:
    using Environment = std::function<std::optional<std::string>(const std::string& name)>;
    using IsAlive = std::function<bool(std::int64_t pid)>;

    // The process environment and the process table.
    PosixBrowserProfiles();
    // For tests: another environment and another test for live processes.
    PosixBrowserProfiles(Environment env, IsAlive isAlive);

    std::vector<BrowserFolder> browserFolders() const override;
    bool isRunning(BrowserKind kind, const std::string& profile) const override;

  private:
    // The process a lock link ("host:+1234", "host-1234") names is alive.
    bool lockIsLive(const std::string& lockPath) const;

    Environment env_;
    IsAlive isAlive_;
};

}  // namespace brim::platform
