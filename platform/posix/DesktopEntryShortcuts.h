#pragma once
#include <optional>

#include "platform/FileSystem.h"
#include "platform/ProgramShortcuts.h"

namespace brim::platform {

// "Brimmark.desktop", a freedesktop.org desktop entry that runs the program
// in `programFolder` with the file as its one argument and offers itself for
// Internet Shortcut files (application/x-mswinurl).
class DesktopEntryShortcuts final : public ProgramShortcuts {
  public:
    DesktopEntryShortcuts(FileSystem& fs, std::string programFolder)
        : fs_(fs), programFolder_(std::move(programFolder)) {}
    // A missing folder is made first, as the XDG rules ask (mode 0700).
    // A program path the entry cannot hold writes nothing.
    IoResult create(const std::string& folder) override;
    std::string refusal() const override;

  private:
    FileSystem& fs_;
    std::string programFolder_;
};

// The entry's text for a program in `programFolder` (ending in "/"); nullopt
// when the path cannot stand in an entry: a control character (a line break
// would end the value and start a key of its own) or bytes that are not UTF-8.
std::optional<std::string> desktopEntryText(const std::string& programFolder);

// One Exec argument: quoted, with ", `, $ and \ escaped, % doubled, and then
// the string escapes of a value applied (so \ becomes \\).
std::string execArgument(const std::string& arg);

}  // namespace brim::platform
