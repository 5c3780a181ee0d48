#pragma once
// The open browser pages, read from the session files of the browsers that
// run, through the file-system interface.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/BrowserProfiles.h"
#include "platform/FileSystem.h"
#include "platform/PageSource.h"

namespace brim::core {

class SessionPageSource final : public platform::PageSource {
  public:
    // `fs` must outlive the source.
    SessionPageSource(platform::FileSystem& fs, std::unique_ptr<platform::BrowserProfiles> profiles)
        : fs_(fs), profiles_(std::move(profiles)) {}

    std::vector<platform::BrowserPage> openPages() override;
    std::vector<std::string> skipped() const override { return skipped_; }

  private:
    void addFirefox(const platform::BrowserFolder& browser,
                    std::vector<platform::BrowserPage>& out);
    void addChromium(const platform::BrowserFolder& browser,
                     std::vector<platform::BrowserPage>& out);
    // Reads one session file; a file that cannot be read or parsed leaves a
    // line in skipped_.
    template <typename Reader>
    void addFile(const std::string& path, Reader read, std::vector<platform::BrowserPage>& out);

    platform::FileSystem& fs_;
    std::unique_ptr<platform::BrowserProfiles> profiles_;
    std::vector<std::string> skipped_;
};

// The profile folders a Firefox "profiles.ini" names, each ending in "/":
// relative paths below `firefoxFolder`, absolute ones as they are.
std::vector<std::string> FirefoxProfileFolders(std::string_view profilesIni,
                                               const std::string& firefoxFolder);

// The profile Firefox starts with: the one an [Install…] section names, else
// the one marked Default=1, else the first; nullopt when none is listed.
std::optional<std::string> DefaultFirefoxProfile(std::string_view profilesIni,
                                                 const std::string& firefoxFolder);

}  // namespace brim::core
