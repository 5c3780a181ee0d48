#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/KnownFolders.h"

namespace brim::platform {

class PosixKnownFolders final : public KnownFolders {
  public:
    using Environment = std::function<std::optional<std::string>(const std::string& name)>;

    // The process environment and the running executable's folder.
    PosixKnownFolders();
    // For tests: another environment and program folder.
    PosixKnownFolders(Environment env, std::string programFolder);

    std::string favorites() const override;
    std::string desktop() const override;
    std::string sendTo() const override;
    std::string programFolder() const override { return programFolder_; }
    std::string settingsFile() const override;
    std::string helpFile() const override;
    std::string stateFolder() const override;
    std::string favoritesVariable() const override { return "BRIMMARK_FAVORITES"; }
    std::string cacheFolder() const override {
        return xdg("XDG_CACHE_HOME", ".cache") + "brimmark/";
    }

  private:
    std::string home() const;
    std::string xdg(const std::string& var, const std::string& fallbackUnderHome) const;

    Environment env_;
    std::string programFolder_;
};

// The folder of the running executable, ending in "/".
std::string executableFolder();

// `folder` as an absolute path ending in "/", a relative one taken from the
// current folder. nullopt for an empty text, which names no folder (not the
// current one), and when the current folder is unknown.
std::optional<std::string> absoluteFolder(std::string_view folder);

// Ends `path` in exactly one "/".
std::string withTrailingSeparator(std::string path);

}  // namespace brim::platform
