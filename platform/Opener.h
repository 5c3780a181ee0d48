#pragma once
#include <string>

namespace brim::platform {

// Hands an address or a document to the desktop, which opens it in the
// user's browser or the program for its type.
class Opener {
  public:
    virtual ~Opener() = default;
    // The text goes to the desktop unchanged. Returns an empty string when the
    // opener was started, else why it was not.
    virtual std::string open(const std::string& target) = 0;
};

}  // namespace brim::platform
