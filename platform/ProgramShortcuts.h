#pragma once
#include <string>

#include "platform/FileSystem.h"

namespace brim::platform {

// Launchers of the program itself: in the send-to folder, so that a
// favorite's file can be handed to the program, and on the Desktop.
class ProgramShortcuts {
  public:
    virtual ~ProgramShortcuts() = default;
    // Writes the launcher into `folder` (ending in a separator), replacing
    // one that is there.
    virtual IoResult create(const std::string& folder) = 0;
    // Why no launcher can be written for this program at all (its path
    // cannot stand in one), empty when it can; told to the user as it is.
    virtual std::string refusal() const { return {}; }
};

}  // namespace brim::platform
