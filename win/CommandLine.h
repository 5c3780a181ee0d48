#pragma once
// The program's one argument, a favorite's path, from the Windows command line.

#include <string>
#include <string_view>

namespace brim::win {

// Everything after the program's name, unquoted as the system splits it and
// joined with single blanks, so that a path with blanks passed without
// quotes still arrives whole. Empty when there is nothing.
std::string argumentOf(std::wstring_view commandLine);

}  // namespace brim::win
