#pragma once
// Path functions between the program's notation and the file system.
//
// The program writes folder labels and relative paths with "\" on every system
// ("\", "\Links\", "Links\News.url"), so that what the user sees, types and
// exports is the same everywhere. Absolute paths are the system's own: on
// POSIX they begin with "/". Positions are 1-based characters.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "platform/FileSystem.h"

namespace brim::core {

// Absolute form of `p`: an absolute path is kept, anything else is taken
// relative to `favoritesRoot`. Every "\" becomes "/" and each run of
// separators shrinks to one.
std::string FullPath(std::string_view favoritesRoot, std::string_view p);

// 1-based character position of the last separator ("\" or "/"), 0 when none.
std::int32_t LastSeparatorPos(std::string_view p);

// `p` split after its last separator: the folder part with the separator,
// and the name ("\Links\" and "a.url" of "\Links\a.url").
std::pair<std::string_view, std::string_view> SplitAtLastSeparator(std::string_view p);

// `n` without a final extension of at most three characters.
std::string StripExtension(std::string_view n);

// `p` with each segment after the first separator spelled as the folder
// listing spells it (exactly, else the first entry equal but for ASCII case).
// A segment that is not found is kept as given.
std::string LongPathName(platform::FileSystem& fs, std::string_view p);

// The folder label of an absolute folder path under `favoritesRoot` (both
// ending in "/"): "\" for the root itself, "\A\B\" two levels down.
std::string FolderLabel(std::string_view favoritesRoot, std::string_view folder);

// True when a real file or folder name can be written in the program's
// notation: valid UTF-8 without "\" (nor "/").
bool isExpressibleName(std::string_view name);

}  // namespace brim::core
