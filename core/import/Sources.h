#pragma once
// Where the bookmarks to import come from: a browser's profile, found as the
// session readers find it, or a file the user names.

#include <optional>
#include <string>
#include <string_view>

#include "core/import/Bookmarks.h"
#include "platform/BrowserProfiles.h"
#include "platform/FileSystem.h"

namespace brim::core::import {

enum class Source { Firefox, Chromium, Chrome, Netscape };

// "firefox", "chromium", "chrome" or "netscape".
std::optional<Source> SourceNamed(std::string_view name);

// The folder an import goes into when the user names none: "Firefox",
// "Chromium", "Google Chrome", or for a bookmark file its name without the
// extension.
std::string DefaultFolderName(Source source, const std::string& file);

struct Located {
    std::string file;   // the store to read, empty when not found
    std::string error;  // why not
};

// The store to read: `file` when given; else the store in the profile folder
// `profile` when given; else the one in the browser's default profile (for
// Chromium and Chrome, "Default"). A bookmark file must be named.
Located LocateBookmarks(Source source, platform::FileSystem& fs,
                        const platform::BrowserProfiles& browsers, const std::string& profile,
                        const std::string& file);

// Reads the store at `file` as `source` keeps it.
ReadResult ReadBookmarks(Source source, platform::FileSystem& fs, const std::string& file);

}  // namespace brim::core::import
