#pragma once
#include <optional>
#include <string>

#include "platform/ProgramShortcuts.h"

namespace brim::platform {

// "Brimmark.lnk", a shell link to "brimmark.exe" in `programFolder`, written
// through IShellLinkW and IPersistFile. A missing folder is made first.
class ShellLinkShortcuts final : public ProgramShortcuts {
  public:
    explicit ShellLinkShortcuts(std::string programFolder)
        : programFolder_(std::move(programFolder)) {}
    IoResult create(const std::string& folder) override;

  private:
    std::string programFolder_;
};

// The program a shell link starts; nullopt when `link` is no readable link.
std::optional<std::string> shellLinkTarget(const std::string& link);

}  // namespace brim::platform
