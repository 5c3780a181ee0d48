#pragma once
// Saving the edit boxes as a favorite, the path of the favorite to delete,
// and the removal of empty folders.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Catalog.h"

namespace brim::core {

// The boxes that saving reads: name (Text3), address (Text4), comment
// (Text5) and target folder (Text6). An address or comment that is nullopt
// keeps the stored one (an empty one in a new file); the window always gives
// both.
struct SaveRequest {
    std::string name;
    std::optional<std::string> url;
    std::optional<std::string> comment;
    std::string folder;
    // The file as on disk that `folder` and `name` were taken from, when the
    // caller knows it: written as it is rather than looked up, since two files
    // may be shown alike (a name in the code page beside its UTF-8 twin).
    std::string file = {};
};

struct [[nodiscard]] SaveResult {
    enum class Kind {
        Saved,
        NoName,      // neither a name nor an address to name the file after
        BadName,     // the name holds a path separator
        HiddenName,  // the name starts with ".": the favorite would never be listed
        NotWritten,  // the file system refused: see `status`
    };
    Kind kind = Kind::Saved;
    std::string fileName;  // the file's name with ".url", as written or tried
    std::string path;      // the system's path of the file
    WriteStatus status;
    explicit operator bool() const { return kind == Kind::Saved; }
};

// Writes the address and the comment into the file the name and the target
// folder designate, in one replacement of the file, creating the target
// folder when it is one level below an existing folder. Every other line of an
// existing file is kept. When the name is unusable or the write fails,
// nothing is changed and nothing is created.
SaveResult Savefiles(const Catalog& catalog, const SaveRequest& request);

// The name box after a save: the name without its short extension.
std::string NameAfterSave(const SaveResult& result, const SaveRequest& request);

// The favorite the folder box and the name box designate: FullPath of
// folder + name, with ".url" appended.
std::string FavoritePath(const Catalog& catalog, const std::string& folder,
                         const std::string& name);

struct PruneProblem {
    std::string path;  // the folder that could not be read or removed
    platform::IoResult io;
};

// Removes every folder below the Favorites folder that holds nothing at all
// at any depth but plain folders, bottom-up, so that nothing created
// meanwhile is lost; the Favorites folder itself stays. `removed` gets each
// removed subtree's top folder (no trailing separator) in the walk's order.
// With `dryRun` nothing is removed and `removed` gets what would be.
void RemoveEmptyFolders(const Catalog& catalog, bool dryRun,
                        const std::function<void(const std::string&)>& removed,
                        std::vector<PruneProblem>& problems);

// One name that fixing names met: a name in the code page renamed to its
// UTF-8 form, or one left as it is.
struct NameFix {
    enum class Kind {
        Renamed,      // renamed (with a dry run: would be)
        Clash,        // the UTF-8 name, or one equal up to case, is taken: both kept
        Undecodable,  // valid in no encoding: only the user can name it
        Failed,       // the rename failed: see `io`
    };
    Kind kind = Kind::Renamed;
    std::string shown;  // folder label + name as shown ("\日本語\表示.url"; a folder ends in "\")
    std::string from;  // the system's path, bytes as on disk
    std::string to;    // the system's path with the UTF-8 name
    platform::IoResult io;
};

// Renames every file and folder below the Favorites folder whose name is in
// the code page, not UTF-8, to the same name in UTF-8, deepest first. A name
// is never renamed over another; a clash and a name valid in no encoding are
// reported and left. With `dryRun` nothing is renamed and the result says
// what would be.
std::vector<NameFix> FixNames(const Catalog& catalog, bool dryRun);

}  // namespace brim::core
