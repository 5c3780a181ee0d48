#pragma once
#include <string>

namespace brim::platform {

// The system's message for the error code in IoResult::sysError: an errno
// value on POSIX, a Win32 error code (GetLastError) on Windows.
std::string systemErrorText(int code);

}  // namespace brim::platform
