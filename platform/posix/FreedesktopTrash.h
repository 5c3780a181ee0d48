#pragma once
#include "platform/Trash.h"

namespace brim::platform {

// The home trash of the freedesktop.org Trash specification:
// $XDG_DATA_HOME/Trash with files/ and info/NAME.trashinfo (the original path,
// percent-encoded, and the time of deletion). The folders are created when
// missing. A file on another file system is copied in and then removed.
class FreedesktopTrash final : public Trash {
  public:
    // The trash under $XDG_DATA_HOME (default ~/.local/share).
    FreedesktopTrash();
    // For tests: the trash under `dataHome`.
    explicit FreedesktopTrash(std::string dataHome) : dataHome_(std::move(dataHome)) {}

    IoResult moveToTrash(const std::string& path) override;

    const std::string& dataHome() const { return dataHome_; }

  private:
    std::string dataHome_;
};

// `path` as the Path= key of a .trashinfo file holds it.
std::string percentEncodePath(std::string_view path);

}  // namespace brim::platform
