#pragma once
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
    IoResult create(const std::string& folder) override;

  private:
    FileSystem& fs_;
    std::string programFolder_;
};

// The entry's text for a program in `programFolder` (ending in "/").
std::string desktopEntryText(const std::string& programFolder);

}  // namespace brim::platform
