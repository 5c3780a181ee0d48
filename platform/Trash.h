#pragma once
#include <string>

#include "platform/FileSystem.h"

namespace brim::platform {

// The user's trash, from which the file manager can restore what went in.
class Trash {
  public:
    virtual ~Trash() = default;
    // Moves the file at `path` (absolute) into the trash.
    virtual IoResult moveToTrash(const std::string& path) = 0;
};

}  // namespace brim::platform
