#pragma once
// Moving a favorite to the trash: the one flow behind the window's "削除"
// and the command line's `delete`.

#include <functional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/Trash.h"

namespace brim::app {

struct [[nodiscard]] TrashOutcome {
    enum class Kind {
        Moved,
        NotFound,  // nothing at the path: nothing was asked
        Kept,      // the user said no
        Failed,    // the trash refused it; `io` says why
    };
    Kind kind = Kind::Moved;
    platform::IoResult io;
};

// Asks `confirm` only when a file or folder is there, then moves it.
TrashOutcome MoveToTrash(platform::FileSystem& fs, platform::Trash& trash, const std::string& path,
                         const std::function<bool()>& confirm);

}  // namespace brim::app
