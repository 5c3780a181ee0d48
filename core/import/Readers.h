#pragma once
// Readers of the bookmark stores of today's browsers. Each gives the whole
// tree or an error; a damaged input never yields a part of its tree.

#include <string>
#include <string_view>

#include "core/import/Bookmarks.h"

namespace brim::core::import {

// Chromium's and Google Chrome's "Bookmarks" file (JSON): the bookmark bar,
// the other bookmarks and the mobile bookmarks, each as a folder.
ReadResult ReadChromiumBookmarks(std::string_view json);

// A Netscape bookmark file, as every browser exports and Brimmark writes it:
// <DL> lists of <DT><A> links, <DT><H3> folders and <DD> descriptions. The
// descriptions and Firefox's TAGS attribute become the comment.
ReadResult ReadNetscapeBookmarks(std::string_view html);

// Firefox's places.sqlite at `path`. The database is copied (with its
// write-ahead log) into a temporary folder and read there, so the browser's
// own file is never written and may be in use. The bookmarks menu comes at
// the top, the toolbar, the other and the mobile bookmarks as folders;
// descriptions and tags become the comment.
ReadResult ReadFirefoxPlaces(const std::string& path);

}  // namespace brim::core::import
