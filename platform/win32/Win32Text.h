#pragma once
// UTF-8 and the wide strings of the Win32 API.

#include <string>
#include <string_view>

namespace brim::platform::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// `path` as the wide API takes it: "/" written as "\", and an absolute path
// given the "\\?\" prefix so that it is not cut at MAX_PATH.
std::wstring longPath(std::string_view path);

// The system's message for a Win32 error code, in UTF-8.
std::string errorText(unsigned long code);

}  // namespace brim::platform::win32
