#pragma once
// Which addresses the program hands to the desktop straight away, and which
// only after the user has seen them: a favorite can come from anywhere, and
// an address such as "javascript:" or a local program's path must not run
// at a click.

#include <string>
#include <string_view>

namespace brim::core {

// The address's scheme in lower case, read as browsers read it: blanks and
// control characters around the address dropped, tabs and line breaks inside
// it ignored. Empty when the address has no scheme.
std::string UrlScheme(std::string_view url);

// True only for http, https, ftp and mailto addresses.
bool OpensWithoutAsking(std::string_view url);

// True for the addresses an exported page may link to: those that open
// without asking, and file.
bool IsLinkableAddress(std::string_view url);

}  // namespace brim::core
