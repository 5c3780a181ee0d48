#pragma once
#include <chrono>

#include "platform/Opener.h"

namespace brim::platform {

// Starts the desktop's opener (xdg-open, or the program $BRIMMARK_OPENER names)
// with the target as its one argument, without a shell, detached from this
// process so that it outlives it and leaves no zombie. It waits a few seconds
// for the opener's exit status: a failure is reported with its reason, and an
// opener still running after the wait counts as started.
class SpawnOpener final : public Opener {
  public:
    static constexpr std::chrono::milliseconds kDefaultWait{3000};

    SpawnOpener();
    explicit SpawnOpener(std::string program, std::chrono::milliseconds wait = kDefaultWait)
        : program_(std::move(program)), wait_(wait) {}
    std::string open(const std::string& target) override;

  private:
    std::string program_;
    std::chrono::milliseconds wait_ = kDefaultWait;
};

// Why an opener that ended with a non-zero `status` failed, after the codes
// xdg-open documents.
std::string openerExitReason(const std::string& program, int status);

}  // namespace brim::platform
