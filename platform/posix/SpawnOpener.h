#pragma once
#include "platform/Opener.h"

namespace brim::platform {

// Starts the desktop's opener (xdg-open, or the program $BRIMMARK_OPENER names)
// with the target as its one argument, without a shell, detached from this
// process so that it outlives it and leaves no zombie.
class SpawnOpener final : public Opener {
  public:
    SpawnOpener();
    explicit SpawnOpener(std::string program) : program_(std::move(program)) {}
    std::string open(const std::string& target) override;

  private:
    std::string program_;
};

}  // namespace brim::platform
