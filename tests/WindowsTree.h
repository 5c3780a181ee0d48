#pragma once
// A Favorites tree as Windows makes it: extensions in any case, the folders'
// "desktop.ini" and "Thumbs.db", and shortcut files in UTF-16LE and in UTF-8
// beside those in the code page. Where names are bytes (POSIX), as a zip made
// on Windows leaves it when unpacked: file and folder names in Shift_JIS
// bytes, and a name valid in no encoding.

#include <string>
#include <vector>

namespace brim::test {

// Whether the tree holds names in bytes; Windows keeps names in UTF-16 only.
#ifdef _WIN32
inline constexpr bool kByteNames = false;
#else
inline constexpr bool kByteNames = true;
#endif

enum class TreeEncoding { CodePage, Utf16Le, Utf8 };

struct TreeFavorite {
    std::string folder;  // the folder label as shown: "\", "\Links\"
    std::string name;    // the file name as shown
    std::string file;    // the path below the root, bytes as on disk, native separators
    std::string url;
    std::string comment;  // empty: the file has no comment
    TreeEncoding encoding;
};

// `utf8` as the favorite's file stores text (UTF-16LE without its mark).
std::string inFileEncoding(const TreeFavorite& f, const std::string& utf8);

// Builds the tree in `root` (a folder path ending in a separator) and returns its
// favorites, sorted by `file`.
std::vector<TreeFavorite> makeWindowsTree(const std::string& root);

// Every file below `root`, as paths relative to it (bytes as on disk), sorted.
// `withSystemFiles`: "desktop.ini" and "Thumbs.db" too.
std::vector<std::string> filesBelow(const std::string& root, bool withSystemFiles = false);

// The files of `favorites`, sorted: what filesBelow gives while every
// favorite is one file.
std::vector<std::string> filesOf(const std::vector<TreeFavorite>& favorites);

}  // namespace brim::test
