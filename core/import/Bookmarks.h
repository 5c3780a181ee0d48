#pragma once
// Bookmarks brought in from a browser, and their writing into the Favorites
// tree as Internet Shortcut files.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Catalog.h"

namespace brim::core::import {

struct Bookmark {
    std::string title;
    std::string url;
    std::string comment;  // the description or the tags: what goes into Words=
};

// A bookmark folder: its bookmarks and subfolders in the browser's order.
struct BookmarkFolder {
    std::string name;
    std::vector<Bookmark> bookmarks;
    std::vector<BookmarkFolder> folders;

    // Bookmarks at any depth.
    std::size_t count() const;
};

// What a reader gives: the tree, or why the input cannot be read. A damaged
// input yields an error, never a part of its tree.
struct ReadResult {
    std::optional<BookmarkFolder> tree;
    std::string error;
};

// `text` as a file or folder name that both Windows and POSIX systems take:
// no reserved characters (\ / : * ? " < > | and controls become "_"), no
// reserved device name, no leading dot (it would hide the file), no trailing
// dots or blanks, at most kMaxNameChars characters. Empty text gives
// `fallback`.
inline constexpr std::size_t kMaxNameChars = 100;
std::string SafeName(std::string_view text, std::string_view fallback);

struct ImportSummary {
    std::size_t imported = 0;
    std::size_t duplicates = 0;  // skipped: the address was in that folder already
    std::size_t foldersCreated = 0;
    struct Refusal {
        std::string path;    // the Favorites-relative path the file would have had
        std::string reason;  // English, for the command line
        WriteStatus status;
    };
    std::vector<Refusal> refused;
    // Every file that was (or, in a dry run, would be) written, in order.
    std::vector<std::string> written;
};

// Writes `tree` below the folder `into` (a folder label or an absolute
// path; created when missing, one level at a time). Each bookmark becomes a
// new .url file written whole; an existing file is never replaced: a
// bookmark whose address is already in its folder is skipped and counted,
// and a name that is taken gets " (2)", " (3)", …. Folders without any
// bookmark below them are not made. `progress` is told the number of
// bookmarks handled so far. With `dryRun` nothing is written.
ImportSummary ImportBookmarks(const Catalog& catalog, const BookmarkFolder& tree,
                              std::string_view into, bool dryRun,
                              const std::function<void(std::size_t done)>& progress = {});

}  // namespace brim::core::import
