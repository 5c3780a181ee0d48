#pragma once
// The one walk of the Favorites tree that the listing, the folder list and the
// search share.
//
// A folder's plain files (neither folder, hidden nor system) come in listing
// order; of its entries only folders whose attribute value is exactly 16 are
// entered, so read-only, hidden and linked folders are never entered. The walk
// is depth first and pre-order: a folder first, then the subtrees of its
// subfolders, the subfolder listed last walked first.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace brim::core {

struct FolderContents {
    std::vector<std::string> files;       // names of the plain files, in listing order
    std::vector<std::string> subfolders;  // names of the folders to enter, in listing order
    std::unique_ptr<platform::OpenFolder> folder;  // to read the files from
};

struct WalkProblem {
    enum class Kind {
        Unreadable,     // a folder that could not be listed (gone, or access denied)
        Unexpressible,  // a name with "\" or bytes that are not UTF-8
    };
    Kind kind;
    std::string path;  // the system's path of the folder or entry
};

// Only a plain folder is entered: attribute value exactly 16, so never a
// read-only, hidden or linked one.
inline bool isFolderToEnter(const platform::DirEntry& e) {
    return e.attributes == platform::kDirectory;
}

// Lists one folder and sorts its entries as the walks take them. Entries whose
// names the program cannot express are passed to `problem` and left out.
std::optional<FolderContents> readFolder(
    platform::FileSystem& fs, const std::string& folder,
    const std::function<void(const WalkProblem&)>& problem = {});

struct WalkVisitor {
    // One folder: its system path (ending in "/"), its label ("\A\B\") and contents.
    std::function<void(const std::string& path, const std::string& label,
                       const FolderContents& contents)>
        folder;
    std::function<void(const WalkProblem&)> problem;
};

// Walks the tree below `start` (a folder at or under `favoritesRoot`, both
// ending in "/"). A folder that cannot be listed is reported and skipped; the
// walk goes on. Returns false when `start` itself could not be listed.
bool walkTree(platform::FileSystem& fs, const std::string& favoritesRoot, const std::string& start,
              const WalkVisitor& visitor);

}  // namespace brim::core
