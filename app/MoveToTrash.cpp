#include "app/MoveToTrash.h"

namespace brim::app {

TrashOutcome MoveToTrash(platform::FileSystem& fs, platform::Trash& trash, const std::string& path,
                         const std::function<bool()>& confirm) {
    if (!fs.attributes(path)) return {TrashOutcome::Kind::NotFound, {}};
    if (!confirm()) return {TrashOutcome::Kind::Kept, {}};
    if (const platform::IoResult r = trash.moveToTrash(path); !r) {
        return {TrashOutcome::Kind::Failed, r};
    }
    return {TrashOutcome::Kind::Moved, {}};
}

}  // namespace brim::app
