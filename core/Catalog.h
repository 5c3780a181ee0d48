#pragma once
// The list model and the listing of every favorite.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/ParallelWalk.h"
#include "core/Profile.h"
#include "core/Walk.h"

namespace brim::core {

// What the result list shows; each fill sets it with its columns.
enum ListMode : std::int32_t {
    kListFavorites = 0,  // "Name", "Folder", "Comment"
    kListFolders = 1,    // "Folder" (or "Deleted Folders")
    kListPages = 2,      // "site", "URL"
};

// One row of the favorites list. Name and folder are shown text (a name in
// the code page decoded); `path` is the file's real name on disk, through
// which every later step finds the file. The address comes from the same
// single read as the comment, for the command line's rows.
struct FavoriteItem {
    std::string name;     // the file's name with its extension, as shown
    std::string folder;   // the folder label: "\", "\Links\", "\A\B\"
    std::string comment;  // "Words" of "CommentKey", empty when none
    std::string url;      // "URL" of "InternetShortcut", empty when none
    std::string path;     // the system's absolute path of the file, bytes as on disk
    bool operator==(const FavoriteItem&) const = default;
};

// One favorite as the edit boxes show it.
struct FavoriteFields {
    std::string folder;   // the path up to and including its last separator
    std::string name;     // the file name without an extension of up to three characters
    std::string url;      // "URL" of "InternetShortcut"
    std::string comment;  // "Words" of "CommentKey"
    bool operator==(const FavoriteFields&) const = default;
};

using RowSink = std::function<void(FavoriteItem&&)>;
using ProblemSink = std::function<void(const WalkProblem&)>;

class RowCache;

class Catalog {
  public:
    // `favoritesRoot` is the system's path of the Favorites folder, ending in
    // "/". With a `cache`, the walks read a file only when the cache cannot
    // vouch for what it holds, and leave what they read in the cache.
    Catalog(platform::FileSystem& fs, const Profile& profile, std::string favoritesRoot,
            RowCache* cache = nullptr)
        : fs_(fs), profile_(profile), root_(std::move(favoritesRoot)), cache_(cache) {}

    const std::string& FavoritesRoot() const { return root_; }
    platform::FileSystem& fileSystem() const { return fs_; }
    const Profile& profile() const { return profile_; }
    RowCache* cache() const { return cache_.load(); }
    // The walks that start from now on read through `cache`, or through none;
    // those running keep the one they began a folder with.
    void setCache(RowCache* cache) { cache_.store(cache); }
    // After the walk of `folder` ended `listed` under `control`: once the whole
    // tree was walked, the cache forgets the folders that are gone.
    void walked(const std::string& folder, bool listed, const WalkControl& control) const;
    // `control` for a walk that reads the files through the cache: a folder
    // of which the cache records nothing is listed without the files' stamps,
    // as each is read, and stamped from its read, anyway.
    WalkControl throughCache(const WalkControl& control) const;

    // Adds one row per file below `folder` (a system path ending in "/"), in the
    // walk's order, reading each file once for its comment and address. False when `folder`
    // itself cannot be listed. `add` and `problem` are called on the calling
    // thread, whatever threads `control` lets the walk use.
    bool ListDir(const std::string& folder, const RowSink& add, const ProblemSink& problem = {},
                 const WalkControl& control = {}) const;

    // Every favorite under the Favorites folder.
    bool allFavorites(std::vector<FavoriteItem>& rows, const ProblemSink& problem = {},
                      const WalkControl& control = {}) const;

    // Adds the label of every folder the walk enters, from `folder` down, in
    // the walk's order ("\" first for the Favorites folder itself).
    bool ListFolder(const std::string& folder, const std::function<void(std::string&&)>& add,
                    const ProblemSink& problem = {}, const WalkControl& control = {}) const;

    // The favorite at `path` (a folder label followed by a file name, or an
    // absolute path) as the edit boxes show it. The file read is `file` (a
    // row's path) when given, else the one `locate` finds.
    FavoriteFields fieldsOf(std::string_view path, const std::string& file = {}) const;

    // The system's path of the file or folder `path` designates, spelled as
    // on disk when it exists up to case or code page (LocateOnDisk).
    std::string locate(std::string_view path) const;

  private:
    platform::FileSystem& fs_;
    const Profile& profile_;
    std::string root_;
    std::atomic<RowCache*> cache_;
};

}  // namespace brim::core
