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

}  // namespace brim::core
