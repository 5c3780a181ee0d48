#pragma once
// Where Firefox, Chromium and Google Chrome keep their profiles on Windows,
// and whether each runs, told by the lock file it holds open.

#include <functional>
#include <optional>
#include <string>

#include "platform/BrowserProfiles.h"

namespace brim::platform {

class Win32BrowserProfiles final : public BrowserProfiles {
  public:
    using Environment = std::function<std::optional<std::string>(const std::string& name)>;

    // The process environment; the user's known folders where it lacks one.
    Win32BrowserProfiles();
    // For tests: another environment.
    explicit Win32BrowserProfiles(Environment env) : env_(std::move(env)) {}

    std::vector<BrowserFolder> browserFolders() const override;
    bool isRunning(BrowserKind kind, const std::string& profile) const override;

  private:
    Environment env_;
};

// Another process holds `path` open and shares no writing: Firefox's
// "parent.lock" and Chromium's "lockfile" while the browser runs.
bool isHeldOpen(const std::string& path);

}  // namespace brim::platform
