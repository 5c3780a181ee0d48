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
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace brim::core {

// One entry of a folder: its bytes on disk and the text the program shows.
struct ListedName {
    std::string disk;
    std::string shown;
    platform::FileStamp stamp{};  // a file's, as the listing gave it
};

struct FolderContents {
    std::vector<ListedName> files;                 // the plain files, in listing order
    std::vector<ListedName> subfolders;            // the folders to enter, in listing order
    std::unique_ptr<platform::OpenFolder> folder;  // to read the files from
};

struct WalkProblem {
    enum class Kind {
        Unreadable,     // a folder that could not be listed (gone, or access denied)
        Unexpressible,  // a name that holds "\" once shown: skipped
        ShownDecoded,   // a name not in UTF-8, shown decoded from the code page
        ShownReplaced,  // a name in no encoding, shown with U+FFFD for its stray bytes
    };
    Kind kind;
    std::string path;  // the system's path of the folder or entry
};

// The names a fill showed other than as they lie on disk: notes the walk's
// reports, then counts those among the files and folders of the rows shown.
class ShownNameCount {
  public:
    // Takes a walk's report; any but a name shown decoded or replaced is ignored.
    void note(const WalkProblem& p);
    // True when no name was noted: the walks report a name before any row
    // below it, so until then no row needs keeping for `among`.
    bool empty() const { return noted_.empty(); }
    // The noted names that are the file, or one of the folders, of the rows'
    // paths (FavoriteItem::path), each counted once.
    struct Counts {
        std::size_t decoded = 0;   // shown decoded from the code page
        std::size_t replaced = 0;  // shown with U+FFFD
    };
    Counts among(const std::vector<std::string>& paths) const;

  private:
    std::map<std::string, WalkProblem::Kind> noted_;
};

// Only a plain folder is entered: attribute value exactly 16, so never a
// read-only, hidden or linked one.
inline bool isFolderToEnter(const platform::DirEntry& e) {
    return e.attributes == platform::kDirectory;
}

// Lists one folder and sorts its entries as the walks take them. System files
// ("desktop.ini", "Thumbs.db") are left out; so are entries whose names the
// program cannot express, which are passed to `problem` as are the names shown
// decoded. Without `fileStamps`, the files may come without their stamps
// (OpenFolder::entriesUnstamped), for a walk that reads every one of them.
std::optional<FolderContents> readFolder(
    platform::FileSystem& fs, const platform::CodePage& cp, const std::string& folder,
    const std::function<void(const WalkProblem&)>& problem = {}, bool fileStamps = true);

// True when the walks enter the folder entry `e` (its name shown through `cp`).
bool isWalkedFolder(const platform::DirEntry& e, const platform::CodePage& cp);

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
bool walkTree(platform::FileSystem& fs, const platform::CodePage& cp,
              const std::string& favoritesRoot, const std::string& start,
              const WalkVisitor& visitor);

}  // namespace brim::core
