#pragma once
// The program's one argument: the path of a favorite.

#include <string>

namespace brim::app {

// The favorite named on the command line as the window takes it. A relative
// path is taken from `currentFolder`, the folder the program was started in,
// as whoever typed it meant; a path in the program's own notation, starting
// with "\" ("\Links\News.url"), stays below the Favorites folder.
std::string ArgumentPath(const std::string& argument, const std::string& currentFolder);

}  // namespace brim::app
