#pragma once
// Path functions between the program's notation and the file system.
//
// The program writes folder labels and relative paths with "\" on every system
// ("\", "\Links\", "Links\News.url"), so that what the user sees, types and
// exports is the same everywhere. Absolute paths are the system's own ("/…" on
// POSIX, "C:\…" or "\\server\share\…" on Windows); the rules for them come
// from the platform. Positions are 1-based characters.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/NativePaths.h"

namespace brim::core {

// Absolute form of `p`: an absolute path is kept, anything else is taken
// relative to `favoritesRoot`. Every "\" becomes the system's separator and
// each run of separators after the root shrinks to one.
std::string FullPath(std::string_view favoritesRoot, std::string_view p,
                     platform::NativePaths paths = platform::NativePaths::native());

// 1-based character position of the last separator ("\" or "/"), 0 when none.
std::int32_t LastSeparatorPos(std::string_view p);

// `p` split after its last separator: the folder part with the separator,
// and the name ("\Links\" and "a.url" of "\Links\a.url").
std::pair<std::string_view, std::string_view> SplitAtLastSeparator(std::string_view p);

// `n` without a final extension of at most three characters.
std::string StripExtension(std::string_view n);

// `p` with each segment after the first separator spelled as the folder
// listing spells it (exactly, else the first entry equal but for ASCII case).
// A segment that is not found is kept as given. The listing decides even when
// the file system finds the name as given, since on one that ignores case it
// would find any spelling.
std::string LongPathName(platform::FileSystem& fs, std::string_view p,
                         platform::NativePaths paths = platform::NativePaths::native());

// The folder label of an absolute folder path under `favoritesRoot` (both
// ending in a separator): "\" for the root itself, "\A\B\" two levels down.
std::string FolderLabel(std::string_view favoritesRoot, std::string_view folder,
                        platform::NativePaths paths = platform::NativePaths::native());

// True when a real file or folder name can be written in the program's
// notation: valid UTF-8 without "\" (nor "/").
bool isExpressibleName(std::string_view name);

}  // namespace brim::core
