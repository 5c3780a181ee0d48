#pragma once
// The list model and the listing of every favorite.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Profile.h"
#include "core/Walk.h"

namespace brim::core {

// What the result list shows; each fill sets it with its columns.
enum ListMode : std::int32_t {
    kListFavorites = 0,  // "Name", "Folder", "Comment"
    kListFolders = 1,    // "Folder" (or "Deleted Folders")
    kListPages = 2,      // "site", "URL"
};

// One row of the favorites list. The file is found again as
// FullPath(folder + name); its address is read only when needed.
struct FavoriteItem {
    std::string name;     // the file's name with its extension, as listed
    std::string folder;   // the folder label: "\", "\Links\", "\A\B\"
    std::string comment;  // "Words" of "CommentKey", empty when none
    bool operator==(const FavoriteItem&) const = default;
};

using RowSink = std::function<void(FavoriteItem&&)>;
using ProblemSink = std::function<void(const WalkProblem&)>;

class Catalog {
  public:
    // `favoritesRoot` is the system's path of the Favorites folder, ending in "/".
    Catalog(platform::FileSystem& fs, const Profile& profile, std::string favoritesRoot)
        : fs_(fs), profile_(profile), root_(std::move(favoritesRoot)) {}

    const std::string& FavoritesRoot() const { return root_; }
    platform::FileSystem& fileSystem() const { return fs_; }
    const Profile& profile() const { return profile_; }

    // Adds one row per file below `folder` (a system path ending in "/"), in the
    // walk's order, reading each file once for its comment. False when `folder`
    // itself cannot be listed.
    bool ListDir(const std::string& folder, const RowSink& add,
                 const ProblemSink& problem = {}) const;

    // Every favorite under the Favorites folder.
    bool allFavorites(std::vector<FavoriteItem>& rows, const ProblemSink& problem = {}) const;

    // The walk over the whole tree, for the other fills.
    bool walk(const WalkVisitor& visitor) const { return walkTree(fs_, root_, root_, visitor); }

  private:
    platform::FileSystem& fs_;
    const Profile& profile_;
    std::string root_;
};

// A number as labels and settings show it: one blank before a number that is
// not negative, "-" before one that is (" 128", " 0", "-3").
std::string FormatNumber(std::int64_t n);

// A count caption such as "ファイル数: 128".
std::string CountCaption(std::string_view prefix, std::int64_t n);

// The leading numeral of a text, as settings are read back: blanks skipped, an
// optional sign, digits and a decimal part; 0 when there is none.
double LeadingNumber(std::string_view text);

// The nearest whole number, a half going to the even neighbour, clamped to
// the 32-bit range.
std::int32_t RoundToInt(double value);

}  // namespace brim::core
