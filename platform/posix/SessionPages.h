#pragma once
// Open browser pages read from the browsers' session files: Firefox's
// session store and the Chromium family's session command log. A browser
// that is not running has no open pages, whatever its files say.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PageSource.h"

namespace brim::platform {

// The pages of a Firefox session store (recovery.jsonlz4: "mozLz40\0", the
// 32-bit little-endian size, one LZ4 block of JSON): each tab's current entry,
// window by window. nullopt for a damaged or cut file.
std::optional<std::vector<BrowserPage>> readFirefoxSession(std::string_view bytes);

// The pages of a Chromium session file ("SNSS", a version, then commands):
// each open tab's current navigation, window by window, tabs in their order.
// nullopt for a file that is not a session file at all; a file cut short
// yields what its whole commands say.
std::optional<std::vector<BrowserPage>> readChromiumSession(std::string_view bytes,
                                                            const std::string& application);

class SessionPages final : public PageSource {
  public:
    using IsRunning = std::function<bool(std::int64_t pid)>;

    // The user's home folder; the process table.
    SessionPages();
    // For tests: another home and another test for live processes.
    SessionPages(std::string home, IsRunning isRunning);

    std::vector<BrowserPage> openPages() override;

  private:
    void addFirefox(const std::string& firefoxFolder, std::vector<BrowserPage>& out);
    void addChromium(const std::string& userDataFolder, const std::string& application,
                     std::vector<BrowserPage>& out);
    // The process a lock link ("host:+1234", "host-1234") names is alive.
    bool lockIsLive(const std::string& lockPath) const;

    std::string home_;
    IsRunning isRunning_;
};

}  // namespace brim::platform
